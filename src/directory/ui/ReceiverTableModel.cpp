#include "directory/ui/ReceiverTableModel.h"

#include "directory/ListAge.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QTextDocument>

#include <cmath>

namespace {

// Both ends in the unit of the upper one: "0 – 30 MHz", "10.4895 – 10.49 GHz".
QString rangeText(std::int64_t lowHz, std::int64_t highHz)
{
    const QLocale locale;
    const auto [divisor, unit] = highHz >= 1'000'000'000
        ? std::pair{1e9, QT_TRANSLATE_NOOP("ReceiverTableModel", "%1 \u2013 %2 GHz")}
        : highHz >= 1'000'000 ? std::pair{1e6, QT_TRANSLATE_NOOP("ReceiverTableModel", "%1 \u2013 %2 MHz")}
                              : std::pair{1e3, QT_TRANSLATE_NOOP("ReceiverTableModel", "%1 \u2013 %2 kHz")};
    return QCoreApplication::translate("ReceiverTableModel", unit)
        .arg(locale.toString(double(lowHz) / divisor, 'g', 6), locale.toString(double(highHz) / divisor, 'g', 6));
}

} // namespace

ReceiverTableModel::ReceiverTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void ReceiverTableModel::setListings(const QList<ReceiverListing>& listings, std::optional<GeoPoint> listener)
{
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(listings.size());
    for (const ReceiverListing& listing : listings)
        m_rows.append(receiverRow(listing, listener));
    reorder();
    m_shown = filteredRows(m_rows, m_order, m_query);
    endResetModel();
}

void ReceiverTableModel::setQuery(const ReceiverQuery& query)
{
    m_query = query;
    if (m_best && m_bestFrequency != query.frequencyKHz) {
        m_bestFrequency = query.frequencyKHz;
        m_order = rowsBestFor(m_rows, m_bestFrequency);
    }
    refilter();
}

void ReceiverTableModel::sortByColumn(ReceiverColumn column, Qt::SortOrder order)
{
    m_best = false;
    m_column = column;
    m_sortOrder = order;
    reorder();
    refilter();
}

void ReceiverTableModel::sortBestFor(std::optional<double> frequencyKHz)
{
    m_best = true;
    m_bestFrequency = frequencyKHz;
    reorder();
    refilter();
}

void ReceiverTableModel::sort(int column, Qt::SortOrder order)
{
    if (column >= 0 && column < receiverColumnCount)
        sortByColumn(static_cast<ReceiverColumn>(column), order);
}

void ReceiverTableModel::reorder()
{
    m_order = m_best ? rowsBestFor(m_rows, m_bestFrequency)
                     : rowsByColumn(m_rows, m_column, m_sortOrder == Qt::AscendingOrder,
                           QDateTime::currentMSecsSinceEpoch());
}

void ReceiverTableModel::refilter()
{
    beginResetModel();
    m_shown = filteredRows(m_rows, m_order, m_query);
    endResetModel();
}

void ReceiverTableModel::updateCounts(const QString& url, int users, int usersMax)
{
    for (ReceiverRow& row : m_rows) {
        if (row.listing.url != url)
            continue;
        row.listing.users = users;
        row.listing.usersMax = usersMax;
        row.listing.asOfMs = QDateTime::currentMSecsSinceEpoch();
    }
    if (const int shown = rowOf(url); shown >= 0)
        emit dataChanged(index(shown, 0), index(shown, receiverColumnCount - 1));
}

const ReceiverRow* ReceiverTableModel::rowAt(int row) const
{
    if (row < 0 || std::size_t(row) >= m_shown.size())
        return nullptr;
    return &m_rows[m_shown[std::size_t(row)]];
}

int ReceiverTableModel::rowOf(const QString& url) const
{
    for (std::size_t i = 0; i < m_shown.size(); ++i) {
        if (m_rows[m_shown[i]].listing.url == url)
            return int(i);
    }
    return -1;
}

QList<const ReceiverRow*> ReceiverTableModel::shownRows() const
{
    QList<const ReceiverRow*> rows;
    rows.reserve(qsizetype(m_shown.size()));
    for (const qsizetype index : m_shown)
        rows.append(&m_rows[index]);
    return rows;
}

int ReceiverTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int ReceiverTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : receiverColumnCount;
}

QString ReceiverTableModel::kindText(ServerKind kind)
{
    return kind == ServerKind::kiwiSDR ? tr("KiwiSDR") : tr("OpenWebRX");
}

QString ReceiverTableModel::coverageText(const ReceiverListing& listing)
{
    if (!listing.lowHz || !listing.highHz)
        return tr("unknown");
    return rangeText(*listing.lowHz, *listing.highHz);
}

QString ReceiverTableModel::text(const ReceiverRow& row, ReceiverColumn column) const
{
    const ReceiverListing& listing = row.listing;
    const QLocale locale;
    switch (column) {
    case ReceiverColumn::name:
        return listing.name.isEmpty() ? listing.url : listing.name;
    case ReceiverColumn::location:
        return listing.location;
    case ReceiverColumn::distance:
        return row.distanceKm ? tr("%1 km").arg(locale.toString(std::lround(*row.distanceKm))) : tr("unknown");
    case ReceiverColumn::bearing:
        return row.bearingDegrees ? tr("%1\u00b0").arg(std::lround(*row.bearingDegrees) % 360) : tr("unknown");
    case ReceiverColumn::kind:
        return kindText(listing.kind);
    case ReceiverColumn::users:
        if (!listing.users || !listing.usersMax)
            return tr("unknown");
        return tr("%1 of %2 free").arg(std::max(0, *listing.usersMax - *listing.users)).arg(*listing.usersMax);
    case ReceiverColumn::coverage:
        return coverageText(listing);
    case ReceiverColumn::snr:
        return listing.snrDb ? tr("%1 dB").arg(*listing.snrDb) : QString();
    case ReceiverColumn::antenna:
        return listing.antenna;
    case ReceiverColumn::version:
        return listing.version;
    case ReceiverColumn::age:
        return listing.asOfMs > 0 ? listAgeText(QDateTime::currentMSecsSinceEpoch() - listing.asOfMs) : QString();
    }
    return {};
}

QVariant ReceiverTableModel::data(const QModelIndex& index, int role) const
{
    const ReceiverRow* row = rowAt(index.row());
    if (!row || index.column() < 0 || index.column() >= receiverColumnCount)
        return {};
    const auto column = static_cast<ReceiverColumn>(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return text(*row, column);
    case Qt::ToolTipRole:
        // A tooltip guesses at markup: the plain text is made markup that shows it as it is.
        if (column == ReceiverColumn::name)
            return Qt::convertFromPlainText(row->listing.url, Qt::WhiteSpaceNormal);
        return {};
    case Qt::TextAlignmentRole:
        if (column == ReceiverColumn::distance || column == ReceiverColumn::bearing || column == ReceiverColumn::snr)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant ReceiverTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (static_cast<ReceiverColumn>(section)) {
    case ReceiverColumn::name:
        return tr("Name");
    case ReceiverColumn::location:
        return tr("Location");
    case ReceiverColumn::distance:
        return tr("Distance");
    case ReceiverColumn::bearing:
        return tr("Bearing");
    case ReceiverColumn::kind:
        return tr("Kind");
    case ReceiverColumn::users:
        return tr("Channels");
    case ReceiverColumn::coverage:
        return tr("Coverage");
    case ReceiverColumn::snr:
        return tr("SNR");
    case ReceiverColumn::antenna:
        return tr("Antenna");
    case ReceiverColumn::version:
        return tr("Version");
    case ReceiverColumn::age:
        return tr("Age");
    }
    return {};
}
