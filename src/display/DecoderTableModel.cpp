#include "display/DecoderTableModel.h"

#include <QLocale>

#include <algorithm>
#include <limits>

namespace {

QVariant numberCell(const std::optional<double>& value, int role, int decimals)
{
    if (role == Qt::UserRole)
        return value.value_or(-std::numeric_limits<double>::infinity());
    if (!value)
        return {};
    return QLocale().toString(*value, 'f', decimals);
}

} // namespace

DecoderTableModel::DecoderTableModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void DecoderTableModel::add(const std::vector<DecodedRow>& rows)
{
    if (rows.empty())
        return;
    const std::size_t kept = static_cast<std::size_t>(maxKeptDecodedMessages);
    const std::size_t adding = std::min(rows.size(), kept);
    const std::size_t staying = std::min(m_rows.size(), kept - adding);
    if (staying < m_rows.size()) {
        beginRemoveRows({}, static_cast<int>(staying), static_cast<int>(m_rows.size() - 1));
        m_rows.resize(staying);
        endRemoveRows();
    }
    beginInsertRows({}, 0, static_cast<int>(adding - 1));
    for (auto row = rows.end() - static_cast<std::ptrdiff_t>(adding); row != rows.end(); ++row)
        m_rows.push_front(*row);
    endInsertRows();
}

void DecoderTableModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

std::vector<DecodedRow> DecoderTableModel::rowsInOrder() const
{
    return {m_rows.rbegin(), m_rows.rend()};
}

int DecoderTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int DecoderTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Column::columns;
}

QVariant DecoderTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const DecodedRow& row = m_rows[static_cast<std::size_t>(index.row())];
    if (role == Qt::TextAlignmentRole) {
        const bool number = index.column() == Column::db || index.column() == Column::dt
            || index.column() == Column::audioHz;
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role != Qt::DisplayRole && role != Qt::UserRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case Column::time:
        if (role == Qt::UserRole)
            return row.time.toMSecsSinceEpoch();
        return row.time.toUTC().toString(QStringLiteral("HH:mm:ss"));
    case Column::db:
        return numberCell(row.db, role, 0);
    case Column::dt:
        return numberCell(row.dt, role, 1);
    case Column::audioHz:
        return numberCell(row.audioHz, role, 0);
    case Column::message:
        return row.message;
    case Column::callsign:
        return row.callsign;
    case Column::locator:
        return row.locator;
    case Column::details:
        return row.details;
    default:
        return {};
    }
}

QVariant DecoderTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Column::time:
        return tr("UTC");
    case Column::db:
        return tr("dB");
    case Column::dt:
        return tr("DT");
    case Column::audioHz:
        return tr("Audio Hz");
    case Column::message:
        return tr("Message");
    case Column::callsign:
        return tr("Callsign");
    case Column::locator:
        return tr("Locator");
    case Column::details:
        return tr("Details");
    default:
        return {};
    }
}
