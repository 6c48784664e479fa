#pragma once
// What the chosen decoder of the receiver decodes, under the tuning area:
// its narrow waterfall, then its text (monospaced, wrapped, the newest
// maxKeptDecodedText characters, following the end unless the listener has
// scrolled back) or its messages as a sortable table (newest first; a click
// on a callsign copies it). Clear, Copy and Save As act on what is shown;
// saved text has each line's UTC time, saved messages are CSV. Shown while
// a receiver with decoders runs one.

#include "model/DecoderOutput.h"

#include <QDateTime>
#include <QString>
#include <QWidget>

#include <optional>

class DecoderSpectrum;
class DecoderTableModel;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSortFilterProxyModel;
class QStackedWidget;
class QTableView;
class ReceiverClient;

class DecoderPane : public QWidget {
    Q_OBJECT
public:
    explicit DecoderPane(ReceiverClient& client, QWidget* parent = nullptr);

    // Writes what is shown: the text as lines stamped with UTC times, or the
    // messages as CSV, oldest first. The error says why it could not.
    std::optional<QString> saveTo(const QString& path) const;
    // The name Save As offers: the decoder's and the UTC time, .txt or .csv.
    QString suggestedFileName() const;
    bool showsTable() const;

    DecoderSpectrum* spectrum() const { return m_spectrum; }
    QPlainTextEdit* textView() const { return m_text; }
    QTableView* tableView() const { return m_table; }
    DecoderTableModel* tableModel() const { return m_rows; }
    QLabel* note() const { return m_note; }

    QSize sizeHint() const override;

signals:
    // A callsign was copied from the table.
    void callsignCopied(const QString& callsign);

private:
    void refreshVisibility();
    void decoderChanged();
    void outputArrived();
    void appendText(const QString& text, const QDateTime& utc);
    void clear();
    void copy();
    void saveAs();
    void showNote(const QString& text);
    QString decoderName() const;

    ReceiverClient& m_client;
    std::optional<QString> m_shownDecoder;
    std::uint64_t m_lastSerial = 0;
    QLabel* m_title;
    QLabel* m_note;
    DecoderSpectrum* m_spectrum;
    QStackedWidget* m_views;
    QPlainTextEdit* m_text;
    QTableView* m_table;
    DecoderTableModel* m_rows;
    QSortFilterProxyModel* m_sorted;
    QPushButton* m_saveButton;
    // The shown text with each line's UTC time, for saving; as bounded.
    QString m_stamped;
    DecodedTextStamper m_stamper;
};
