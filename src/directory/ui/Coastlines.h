#pragma once
// The coastlines the world map draws, from GSHHG's binned netCDF files as
// Debian's gmt-gshhg-low installs them (/usr/share/gmt-gshhg). Each line is a
// list of (longitude, latitude) points. A missing or unreadable file gives no
// lines: the map then shows its dots on a plain sea.

#include <QFuture>
#include <QList>
#include <QPolygonF>
#include <QString>

using CoastlineSet = QList<QPolygonF>;

// The low-resolution coastlines when installed, else the crude ones; empty
// when neither is.
QString installedCoastlinePath();
// The shorelines of land against sea (and the Antarctic ice front), read
// with every index and count checked against the file's own sizes.
CoastlineSet readCoastlines(const QString& path);
// Read once per process, on a worker thread.
QFuture<CoastlineSet> sharedCoastlines();
