#include "display/DecoderPane.h"

#include "audio/RecordingName.h"
#include "display/DecoderSpectrum.h"
#include "display/DecoderTableModel.h"
#include "session/ReceiverClient.h"
#include "widgets/TextStyles.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QStackedWidget>
#include <QTableView>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

constexpr int noteMilliseconds = 6000;
constexpr int preferredHeight = 240;
// Room beside a column's text for the margins and the sort arrow.
constexpr int cellPadding = 28;
// The saved form of the text keeps whole lines up to this many characters.
constexpr qsizetype maxStampedText = 3 * maxKeptDecodedText;

QPushButton* button(const QString& title, QWidget* parent)
{
    auto* created = new QPushButton(title, parent);
    created->setFocusPolicy(Qt::TabFocus);
    return created;
}

} // namespace

DecoderPane::DecoderPane(ReceiverClient& client, QWidget* parent)
    : QWidget(parent)
    , m_client(client)
    , m_title(plainTextLabel(TextStyle::headline, this))
    , m_note(plainTextLabel(TextStyle::callout, this))
    , m_spectrum(new DecoderSpectrum(client, this))
    , m_views(new QStackedWidget(this))
    , m_text(new QPlainTextEdit(m_views))
    , m_table(new QTableView(m_views))
    , m_rows(new DecoderTableModel(this))
    , m_sorted(new QSortFilterProxyModel(this))
    , m_saveButton(button(tr("Save As\u2026"), this))
{
    m_title->setObjectName(QStringLiteral("decoderTitle"));
    m_note->setObjectName(QStringLiteral("decoderNote"));
    useSecondaryText(*m_note);
    m_note->hide();
    m_spectrum->setObjectName(QStringLiteral("decoderSpectrum"));
    m_spectrum->setFixedHeight(m_spectrum->sizeHint().height());

    m_text->setObjectName(QStringLiteral("decoderText"));
    m_text->setReadOnly(true);
    m_text->setUndoRedoEnabled(false);
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setAccessibleName(tr("Decoded text"));

    m_sorted->setSourceModel(m_rows);
    m_sorted->setSortRole(Qt::UserRole);
    m_table->setObjectName(QStringLiteral("decoderTable"));
    m_table->setModel(m_sorted);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(DecoderTableModel::time, Qt::DescendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    m_table->setAlternatingRowColors(true);
    m_table->verticalHeader()->hide();
    // Widths from sample texts rather than from the rows, which a flood
    // would make costly to measure; the message and details share the rest.
    QHeaderView* columns = m_table->horizontalHeader();
    const QFontMetrics metrics = m_table->fontMetrics();
    const std::pair<DecoderTableModel::Column, QString> samples[] = {{DecoderTableModel::time, QStringLiteral("00:00:00")},
        {DecoderTableModel::db, QStringLiteral("-000")}, {DecoderTableModel::dt, QStringLiteral("-00.0")},
        {DecoderTableModel::audioHz, QStringLiteral("0,000,000")}, {DecoderTableModel::callsign, QStringLiteral("WWW0WWWW")},
        {DecoderTableModel::locator, QStringLiteral("WW00ww")}};
    for (const auto& [column, sample] : samples) {
        const QString title = m_rows->headerData(column, Qt::Horizontal).toString();
        columns->resizeSection(column, std::max(metrics.horizontalAdvance(sample), metrics.horizontalAdvance(title)) + cellPadding);
    }
    columns->setSectionResizeMode(DecoderTableModel::message, QHeaderView::Stretch);
    columns->setSectionResizeMode(DecoderTableModel::details, QHeaderView::Stretch);
    m_table->setAccessibleName(tr("Decoded messages"));
    connect(m_table, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (index.column() != DecoderTableModel::callsign)
            return;
        const QString callsign = index.data().toString();
        if (callsign.isEmpty())
            return;
        QApplication::clipboard()->setText(callsign);
        showNote(tr("Copied \u201c%1\u201d.").arg(callsign));
        emit callsignCopied(callsign);
    });
    m_views->addWidget(m_text);
    m_views->addWidget(m_table);

    auto* clearButton = button(tr("Clear"), this);
    clearButton->setObjectName(QStringLiteral("decoderClear"));
    connect(clearButton, &QPushButton::clicked, this, &DecoderPane::clear);
    auto* copyButton = button(tr("Copy"), this);
    copyButton->setObjectName(QStringLiteral("decoderCopy"));
    connect(copyButton, &QPushButton::clicked, this, &DecoderPane::copy);
    m_saveButton->setObjectName(QStringLiteral("decoderSave"));
    connect(m_saveButton, &QPushButton::clicked, this, &DecoderPane::saveAs);

    auto* header = new QHBoxLayout;
    header->setSpacing(8);
    header->addWidget(m_title);
    header->addWidget(m_note, 1);
    header->addWidget(clearButton);
    header->addWidget(copyButton);
    header->addWidget(m_saveButton);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    column->addLayout(header);
    column->addWidget(m_spectrum);
    column->addWidget(m_views, 1);

    connect(&m_client, &ReceiverClient::featuresChanged, this, &DecoderPane::refreshVisibility);
    connect(&m_client, &ReceiverClient::decoderChanged, this, &DecoderPane::decoderChanged);
    connect(&m_client, &ReceiverClient::decodersChanged, this, &DecoderPane::decoderChanged);
    connect(&m_client, &ReceiverClient::decoderOutputChanged, this, &DecoderPane::outputArrived);
    m_lastSerial = m_client.decoderOutput().serial;
    decoderChanged();
}

QSize DecoderPane::sizeHint() const
{
    return {QWidget::sizeHint().width(), preferredHeight};
}

bool DecoderPane::showsTable() const
{
    return m_views->currentWidget() == m_table;
}

QString DecoderPane::decoderName() const
{
    const std::optional<DecoderChoice>& choice = m_client.decoder();
    if (!choice)
        return {};
    const ReceiverDecoder* decoder = findDecoder(m_client.decoders(), choice->modulation);
    return decoder ? decoder->name : choice->modulation;
}

void DecoderPane::refreshVisibility()
{
    setVisible(m_client.features().decoders && m_client.decoder().has_value());
}

void DecoderPane::decoderChanged()
{
    const std::optional<DecoderChoice>& choice = m_client.decoder();
    if (choice && m_shownDecoder != choice->modulation) {
        // Another decoder's output starts afresh.
        if (m_shownDecoder)
            clear();
        m_shownDecoder = choice->modulation;
        m_spectrum->clear();
    }
    const ReceiverDecoder* decoder = choice ? findDecoder(m_client.decoders(), choice->modulation) : nullptr;
    m_title->setText(decoderName());
    m_spectrum->setVisible(decoder && decoder->spectrum);
    refreshVisibility();
}

void DecoderPane::outputArrived()
{
    const DecoderOutput& output = m_client.decoderOutput();
    if (output.serial == m_lastSerial)
        return;
    m_lastSerial = output.serial;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (!output.text.isEmpty()) {
        appendText(output.text.right(maxKeptDecodedText), now);
        m_views->setCurrentWidget(m_text);
    }
    if (!output.messages.isEmpty()) {
        const double carrierHz = m_client.frequencyKHz() * 1000 - carrierOffsetHz(m_client.mode());
        std::vector<DecodedRow> rows;
        const qsizetype first = std::max<qsizetype>(0, output.messages.size() - maxKeptDecodedMessages);
        for (qsizetype i = first; i < output.messages.size(); ++i)
            rows.push_back(decodedRow(output.messages.at(i), carrierHz, now));
        m_rows->add(rows);
        m_views->setCurrentWidget(m_table);
    }
}

void DecoderPane::appendText(const QString& text, const QDateTime& utc)
{
    QScrollBar* bar = m_text->verticalScrollBar();
    const bool following = bar->value() >= bar->maximum();
    QTextDocument* document = m_text->document();
    QTextCursor end(document);
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    // The oldest text goes; a listener scrolled back keeps the lines in view.
    const int excess = document->characterCount() - 1 - static_cast<int>(maxKeptDecodedText);
    int removedBlocks = 0;
    if (excess > 0) {
        const int blocksBefore = document->blockCount();
        QTextCursor start(document);
        start.setPosition(excess, QTextCursor::KeepAnchor);
        start.removeSelectedText();
        removedBlocks = blocksBefore - document->blockCount();
    }
    if (following)
        bar->setValue(bar->maximum());
    else if (removedBlocks > 0)
        bar->setValue(bar->value() - removedBlocks);

    m_stamped += m_stamper.stamp(text, utc);
    if (m_stamped.size() > maxStampedText) {
        const qsizetype cut = m_stamped.indexOf(u'\n', m_stamped.size() - maxStampedText);
        m_stamped.remove(0, cut < 0 ? m_stamped.size() - maxStampedText : cut + 1);
    }
}

void DecoderPane::clear()
{
    m_text->clear();
    m_stamped.clear();
    m_stamper = {};
    m_rows->clear();
}

void DecoderPane::copy()
{
    QString text;
    if (showsTable()) {
        const QModelIndexList selected = m_table->selectionModel()->selectedRows();
        std::vector<DecodedRow> rows;
        const std::vector<DecodedRow> all = m_rows->rowsInOrder();
        if (selected.isEmpty()) {
            rows = all;
        } else {
            for (const QModelIndex& index : selected) {
                const int sourceRow = m_sorted->mapToSource(index).row();
                rows.push_back(all[all.size() - 1 - static_cast<std::size_t>(sourceRow)]);
            }
        }
        for (const DecodedRow& row : rows)
            text += decodedCsvLine(row) + u'\n';
    } else {
        text = m_text->textCursor().hasSelection() ? m_text->textCursor().selectedText() : m_text->toPlainText();
        text.replace(QChar::ParagraphSeparator, u'\n');
    }
    QApplication::clipboard()->setText(text);
    showNote(tr("Copied."));
}

QString DecoderPane::suggestedFileName() const
{
    return cleanFileNamePart(decoderName()) + u'_'
        + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"))
        + (showsTable() ? QStringLiteral(".csv") : QStringLiteral(".txt"));
}

std::optional<QString> DecoderPane::saveTo(const QString& path) const
{
    QString content;
    if (showsTable()) {
        content = decodedCsvHeader() + u'\n';
        for (const DecodedRow& row : m_rows->rowsInOrder())
            content += decodedCsvLine(row) + u'\n';
    } else {
        content = m_stamped;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content.toUtf8()) < 0 || !file.commit())
        return tr("The decodes could not be saved: %1").arg(file.errorString());
    return std::nullopt;
}

void DecoderPane::saveAs()
{
    const QString filter = showsTable() ? tr("CSV files (*.csv)") : tr("Text files (*.txt)");
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Save Decodes"), QDir::home().filePath(suggestedFileName()), filter);
    if (path.isEmpty())
        return;
    showNote(saveTo(path).value_or(tr("Saved to %1.").arg(QDir::toNativeSeparators(path))));
}

void DecoderPane::showNote(const QString& text)
{
    m_note->setText(text);
    m_note->show();
    QTimer::singleShot(noteMilliseconds, m_note, [note = m_note, text] {
        if (note->text() == text)
            note->hide();
    });
}
