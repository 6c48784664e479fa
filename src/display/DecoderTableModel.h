#pragma once
// The messages of a decoder (FT8, WSPR, a skimmer, packet) as table rows,
// newest first, at most maxKeptDecodedMessages: time, dB, DT, audio
// frequency, message, callsign, locator, and every other field as
// "key = value". Server text stays plain text. Each cell's sort value is
// under Qt::UserRole (numbers as numbers, times as milliseconds).

#include "model/DecoderOutput.h"

#include <QAbstractTableModel>

#include <deque>

class DecoderTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { time, db, dt, audioHz, message, callsign, locator, details, columns };

    explicit DecoderTableModel(QObject* parent = nullptr);

    // Oldest first, as they came; the newest go on top.
    void add(const std::vector<DecodedRow>& rows);
    void clear();
    // Oldest first.
    std::vector<DecodedRow> rowsInOrder() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::deque<DecodedRow> m_rows;
};
