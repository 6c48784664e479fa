#pragma once
// The labels the simulated receivers send for the listener's scale: the
// KiwiSDR operator's band bars ("load_dxcfg") and the OpenWebRX server's
// bookmarks and dial frequencies, placed on the stations of SimBand.

#include <QString>

// The JSON of "load_dxcfg", before percent-encoding.
QString kiwiDxConfigJson();
QString openWebRXBookmarksMessage();
QString openWebRXDialFrequenciesMessage();
