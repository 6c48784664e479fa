#include "display/WaterfallView.h"

#include "settings/Preferences.h"
#include "display/BandPlan.h"
#include "display/FrequencyScale.h"

void WaterfallView::updateScaleLabels()
{
    // A kept picture keeps the labels it was drawn with.
    if (m_stale)
        return;
    const int region = m_preferences.bandPlanRegion();
    const ReceiverLabels none;
    const ReceiverLabels& sent = m_client ? m_client->receiverLabels() : none;
    const bool receiverBands = m_preferences.receiverBands() && !sent.bands.empty();
    m_scaleStrip->setBands(bandPlanForRegion(receiverBands ? sent.bands : shippedBandPlan(), region));
    std::vector<FrequencyLabel> labels = sent.bookmarks;
    labels.insert(labels.end(), sent.dialFrequencies.begin(), sent.dialFrequencies.end());
    std::vector<FrequencyLabel> bookmarks;
    for (const FrequencyBookmark& bookmark : m_preferences.frequencyBookmarks().items) {
        const double hz = bookmark.frequencyKHz * 1000;
        if (isLabelFrequency(hz))
            bookmarks.push_back({hz, plainLabelName(bookmark.name.value_or(QString())), bookmark.mode, std::nullopt});
    }
    m_scaleStrip->setMarks(std::move(labels), std::move(bookmarks));
}
