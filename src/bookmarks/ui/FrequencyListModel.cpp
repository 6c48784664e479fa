#include "bookmarks/ui/FrequencyListModel.h"

#include "widgets/FrequencyText.h"
#include "widgets/TextStyles.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPalette>

FrequencyListModel::FrequencyListModel(Preferences& preferences, QObject* parent)
    : PersistedListModel(preferences, PreferenceKeys::frequencyBookmarks, &Preferences::frequencyBookmarks,
                         &Preferences::setFrequencyBookmarks,
                         {QCoreApplication::translate("FrequencyListModel", "Title"),
                          QCoreApplication::translate("FrequencyListModel", "Frequency"), QString(),
                          QCoreApplication::translate("FrequencyListModel", "Mode")}, parent)
{
}

int FrequencyListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columnTotal;
}

QVariant FrequencyListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const FrequencyBookmark& bookmark = itemAt(index.row());
    const bool shown = role == Qt::DisplayRole || role == Qt::EditRole;
    switch (index.column()) {
    case titleColumn:
        return shown ? QVariant(bookmark.name.value_or(QString())) : QVariant();
    case frequencyColumn:
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return shown ? QVariant(formattedFrequencyKHz(bookmark.frequencyKHz)) : QVariant();
    case unitColumn:
        if (role == Qt::ForegroundRole)
            return secondaryTextColor(QGuiApplication::palette());
        return role == Qt::DisplayRole ? QVariant(QStringLiteral("kHz")) : QVariant();
    case modeColumn:
        if (role == Qt::EditRole)
            return int(std::find(allModes.begin(), allModes.end(), bookmark.mode) - allModes.begin());
        return role == Qt::DisplayRole ? QVariant(rawValue(bookmark.mode).toUpper()) : QVariant();
    default:
        return {};
    }
}

bool FrequencyListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::EditRole)
        return false;
    FrequencyBookmark changed = itemAt(index.row());
    switch (index.column()) {
    case titleColumn: {
        const QString text = value.toString();
        changed.name = text.isEmpty() ? std::nullopt : std::optional<QString>(text);
        break;
    }
    case frequencyColumn: {
        // The field shows the frequency rounded; committing that text as it
        // stands leaves the stored value alone.
        const QString text = value.toString().trimmed();
        if (text == formattedFrequencyKHz(changed.frequencyKHz))
            return true;
        const std::optional<double> kHz = parseFrequencyText(text);
        if (!kHz)
            return false;
        changed.frequencyKHz = *kHz;
        break;
    }
    case modeColumn: {
        bool ok = false;
        const int place = value.toInt(&ok);
        if (!ok || place < 0 || place >= int(allModes.size()))
            return false;
        changed.mode = allModes[std::size_t(place)];
        break;
    }
    default:
        return false;
    }
    replace(index, changed);
    return true;
}

Qt::ItemFlags FrequencyListModel::flags(const QModelIndex& index) const
{
    const Qt::ItemFlags base = PersistedListModel::flags(index);
    return index.isValid() && index.column() != unitColumn ? base | Qt::ItemIsEditable : base;
}
