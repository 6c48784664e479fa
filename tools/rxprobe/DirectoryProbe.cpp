#include "DirectoryProbe.h"

#include "DirectoryLines.h"
#include "JsonLines.h"

#include "directory/DirectoryFormats.h"
#include "directory/ListingMerger.h"

DirectoryProbe::DirectoryProbe(QStringList sources, QObject* parent)
    : QObject(parent)
    , m_sources(std::move(sources))
{
}

void DirectoryProbe::start()
{
    m_results.resize(m_sources.size());
    m_waiting = m_sources.size();
    for (qsizetype i = 0; i < m_sources.size(); ++i) {
        m_downloads.push_back(std::make_unique<ListDownload>(m_network, m_sources[i], ListValidators{},
            ListDownload::defaultTimeout, [this, i](const ListDownloadResult& result) { received(i, result); }));
    }
}

void DirectoryProbe::received(qsizetype index, const ListDownloadResult& result)
{
    m_results[index] = result;
    if (--m_waiting == 0) {
        report();
        emit finished();
    }
}

void DirectoryProbe::report()
{
    QList<DirectoryRead> reads;
    for (qsizetype i = 0; i < m_sources.size(); ++i) {
        const ListDownloadResult& result = *m_results[i];
        DirectoryRead read;
        if (result.outcome == ListDownloadResult::Outcome::received)
            read = readDirectory(result.body);
        else
            read.error = result.problem;
        if (read.error)
            writeLine(directoryErrorLine(m_sources[i], *read.error));
        reads.append(std::move(read));
    }
    const DirectoryRead merged = mergeDirectoryReads(reads);
    for (const ReceiverListing& listing : merged.receivers)
        writeLine(receiverLine(listing));
    writeLine(directorySummaryLine(merged));
}
