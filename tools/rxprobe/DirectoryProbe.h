#pragma once
// `rxprobe --directory SOURCE...`: reads each list (an address or a file),
// prints a line for each one that cannot be read, then every receiver the
// lists give after merging, then the counts, and says it has finished.

#include "directory/online/ListDownload.h"

#include <QList>
#include <QNetworkAccessManager>
#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class DirectoryProbe : public QObject {
    Q_OBJECT
public:
    explicit DirectoryProbe(QStringList sources, QObject* parent = nullptr);
    void start();

signals:
    void finished();

private:
    void received(qsizetype index, const ListDownloadResult& result);
    void report();

    QNetworkAccessManager m_network;
    QStringList m_sources;
    QList<std::optional<ListDownloadResult>> m_results;
    qsizetype m_waiting = 0;
    std::vector<std::unique_ptr<ListDownload>> m_downloads;
};
