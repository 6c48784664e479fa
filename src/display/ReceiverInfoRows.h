#pragma once
// What the receiver information view lists: a title and the rows of label
// and value that the known fields of a receiver description give.

#include "model/ReceiverModel.h"

#include <QList>
#include <QString>

#include <cstdint>

struct ReceiverInfoRow {
    QString label;
    QString value;

    friend bool operator==(const ReceiverInfoRow&, const ReceiverInfoRow&) = default;
};

// The receiver's name, or "Receiver".
QString receiverInfoTitle(const ReceiverInfo& info);
// The rows in display order; a row appears only when its field is known.
QList<ReceiverInfoRow> receiverInfoRows(const ReceiverInfo& info);

// Seconds as days, hours and minutes, at most the two largest non-zero units,
// truncated: "3d 4h", "2h 5m", "0m".
QString formatUptime(std::int64_t seconds);
