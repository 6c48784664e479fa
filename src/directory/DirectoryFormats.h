#pragma once
// The public receiver lists, read entry by entry: a broken entry is skipped
// and counted, and the same address listed twice is one receiver. A list
// over maxListingBytes or maxListingEntries, one cut short, or one of no
// known form is refused whole with a plain message.
//
// - The KiwiSDR public page: <div class='cl-info'> blocks of
//   "<!-- key=value -->" lines (the keys of a KiwiSDR's status page) closed
//   by a link to the receiver.
// - The same list as a script array, "var kiwisdr_com = [ {...}, ... ];".
// - The receiverbook map page, "var receivers = [ ... ];", each entry a
//   station with a position and its receivers (OpenWebRX, KiwiSDR, WebSDR).

#include "directory/ReceiverListing.h"

#include <QByteArrayView>

enum class DirectoryProblem { tooLarge, tooManyEntries, cutShort, unknownForm };
// The plain words for the listener.
QString directoryProblemText(DirectoryProblem problem);
// A read that gave nothing but the problem.
DirectoryRead refusedDirectory(DirectoryProblem problem);

DirectoryRead readKiwiPublicPage(QByteArrayView page);
DirectoryRead readKiwiScriptList(QByteArrayView page);
DirectoryRead readReceiverBookMap(QByteArrayView page);

// Whichever of the three the bytes are.
DirectoryRead readDirectory(QByteArrayView bytes);
