#pragma once
// The plain-text status page a KiwiSDR receiver serves: lines of key=value
// describing the receiver, and how they fill in what we know about it.

#include "model/ReceiverModel.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QUrl>

// A real page is a few hundred bytes; a longer answer is cut here.
inline constexpr qsizetype maxKiwiStatusPageBytes = 1024 * 1024;

// The page's address: "status" below the receiver's own path.
QUrl kiwiStatusPageURL(const QUrl& serverURL);

// Every key=value line of the page; a later line wins over an earlier one
// with the same key. Lines without "=" are skipped.
QHash<QString, QString> parseKiwiStatusPage(const QByteArray& body);

// Fills `info` from a parsed page. The descriptive texts the receiver's own
// configuration already gave are kept; the counts, uptime, position, hardware
// and version are replaced, and become absent when the page lacks them.
// A page read before connecting does not count the listener's own
// connection: with `addOwnConnection` it is counted (within the maximum).
void applyKiwiStatusPage(ReceiverInfo& info, const QHash<QString, QString>& page, bool addOwnConnection = false);
