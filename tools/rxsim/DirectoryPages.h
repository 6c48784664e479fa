#pragma once
// The public receiver lists as the stand-in serves them, each naming the
// stand-in itself with its real address and position: the KiwiSDR public
// page (/public/ and /.public/), the same as a script array
// (/kiwisdr_com.js) and the receiverbook map page (/map).

#include "KiwiPages.h"
#include "RxSimOptions.h"

#include <QByteArray>
#include <QString>

struct SimListingEntry {
    SimReceiverDescription receiver;
    RxSimKind kind = RxSimKind::kiwisdr;
    // "http://127.0.0.1:PORT"
    QString url;
    KiwiStatusFigures figures;
};

QByteArray kiwiPublicPage(const SimListingEntry& entry);
QByteArray kiwiScriptList(const SimListingEntry& entry);
QByteArray receiverBookMapPage(const SimListingEntry& entry);
