#include "app/MainWindowContent.h"

#include "app/TuningKeys.h"
#include "session/ReceiverClient.h"
#include "settings/Preferences.h"

#include <QKeyEvent>

MainWindowContent::MainWindowContent(ReceiverClient& client, const Preferences& preferences, QWidget* parent)
    : QWidget(parent), m_client(client), m_preferences(preferences)
{
    setFocusPolicy(Qt::StrongFocus);
}

void MainWindowContent::keyPressEvent(QKeyEvent* event)
{
    const double chosenKHz = m_preferences.tuningStepHz(m_client.mode()) / 1000.0;
    const std::optional<double> step = tuningKeyStep(event->key(), event->modifiers(), chosenKHz);
    if (!step || !m_client.state().isConnected()) {
        QWidget::keyPressEvent(event);
        return;
    }
    // Key repeats tune too: holding an arrow sweeps the band.
    m_client.tune(steppedFrequencyKHz(m_client.frequencyKHz(), *step));
    event->accept();
}
