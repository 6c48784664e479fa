#pragma once
// The lines `rxprobe --directory` prints: what the Receivers window would
// list, one compact JSON object each, members in a fixed order.

#include "directory/ReceiverListing.h"

#include <QByteArray>
#include <QString>

// {"receiver":{"name":..,"url":..,"kind":"kiwisdr"|"openwebrx","latitude":..|null,
//  "longitude":..|null,"location":..,"users":..|null,"usersMax":..|null,"lowHz":..|null,
//  "highHz":..|null,"snrDb":..|null,"antenna":..,"version":..}}
QByteArray receiverLine(const ReceiverListing& listing);
// {"summary":{"receivers":N,"duplicates":D,"unsupported":U,"skipped":K}}
QByteArray directorySummaryLine(const DirectoryRead& merged);
// {"directoryError":{"source":..,"message":..}}
QByteArray directoryErrorLine(const QString& source, const QString& message);
