#pragma once
// The rows of one bookmark list as the preferences store keeps it. Every
// change stores the whole list at once, which the store turns into changes by
// id when it merges with the file; a list stored by anyone else (a main
// window, the tuning panel, another running Farlisten) replaces the rows.

#include "settings/Preferences.h"
#include "bookmarks/ui/BookmarkListModel.h"

#include <algorithm>
#include <functional>
#include <type_traits>
#include <utility>

template <typename List>
class PersistedListModel : public BookmarkListModel {
public:
    using Item = typename std::remove_cvref_t<decltype(List::items)>::value_type;
    using Load = List (Preferences::*)() const;
    using Store = void (Preferences::*)(const List&);

    PersistedListModel(Preferences& preferences, QString key, Load load, Store store, QStringList columnTitles,
                       QObject* parent)
        : BookmarkListModel(std::move(columnTitles), parent)
        , preferences(preferences)
        , load(load)
        , storeList(store)
        , list((preferences.*load)())
    {
        QObject::connect(&preferences, &Preferences::changed, this,
                         [this, key = std::move(key)](const QString& changed) {
                             if (changed == key && !storing)
                                 reload();
                         });
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(list.items.size());
    }

    QUuid idAt(int row) const override
    {
        return row >= 0 && row < list.items.size() ? list.items[row].id : QUuid();
    }

    std::function<void()> removeIds(const QSet<QUuid>& ids) override
    {
        // Each removed item with the row it had, top row first.
        QList<std::pair<int, Item>> removed;
        for (int row = int(list.items.size()) - 1; row >= 0; --row) {
            if (!ids.contains(list.items[row].id))
                continue;
            removed.prepend({row, list.items[row]});
            beginRemoveRows({}, row, row);
            list.items.removeAt(row);
            endRemoveRows();
        }
        if (removed.isEmpty())
            return {};
        store();
        return [this, removed] { restore(removed); };
    }

    bool moveItems(QList<int> rows, int destination) override
    {
        const int count = int(list.items.size());
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        if (rows.isEmpty() || rows.front() < 0 || rows.back() >= count || destination < 0 || destination > count)
            return false;

        // The old rows in their new order: the rows that stay, with the moved
        // ones inserted where `destination` falls among them.
        QList<bool> moving(count, false);
        for (const int row : rows)
            moving[row] = true;
        QList<int> order;
        order.reserve(count);
        for (int row = 0; row < count; ++row) {
            if (row == destination)
                order.append(rows);
            if (!moving[row])
                order.append(row);
        }
        if (destination == count)
            order.append(rows);
        // `order` is a permutation: sorted means every row stays.
        if (std::is_sorted(order.cbegin(), order.cend()))
            return true;

        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        QList<int> newRowOf(count);
        decltype(list.items) reordered;
        reordered.reserve(count);
        for (int row = 0; row < count; ++row) {
            newRowOf[order[row]] = row;
            reordered.append(list.items[order[row]]);
        }
        list.items = std::move(reordered);
        const QModelIndexList before = persistentIndexList();
        for (const QModelIndex& index : before)
            changePersistentIndex(index, this->index(newRowOf[index.row()], index.column()));
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
        store();
        return true;
    }

    const List& current() const { return list; }

    // Appends the items after the rows and stores the list once.
    void appendAll(const List& added)
    {
        if (added.items.isEmpty())
            return;
        const int first = int(list.items.size());
        beginInsertRows({}, first, first + int(added.items.size()) - 1);
        list.items.append(added.items);
        endInsertRows();
        store();
    }

protected:
    const Item& itemAt(int row) const { return list.items[row]; }

    // Stores the list unless the item is unchanged.
    void replace(const QModelIndex& index, const Item& item)
    {
        if (list.items[index.row()] == item)
            return;
        list.items[index.row()] = item;
        store();
        emit dataChanged(index, index);
    }

    // Appends the item, stores the list, and gives its row.
    int append(const Item& item)
    {
        const int row = int(list.items.size());
        beginInsertRows({}, row, row);
        list.items.append(item);
        endInsertRows();
        store();
        return row;
    }

private:
    void restore(const QList<std::pair<int, Item>>& removed)
    {
        bool restored = false;
        for (const auto& [row, item] : removed) {
            const bool present = std::any_of(list.items.cbegin(), list.items.cend(),
                                             [&item](const Item& other) { return other.id == item.id; });
            if (present)
                continue;
            const int place = std::min(row, int(list.items.size()));
            beginInsertRows({}, place, place);
            list.items.insert(place, item);
            endInsertRows();
            restored = true;
        }
        if (restored)
            store();
    }

    void store()
    {
        storing = true;
        (preferences.*storeList)(list);
        storing = false;
    }

    void reload()
    {
        List latest = (preferences.*load)();
        if (latest == list)
            return;
        beginResetModel();
        list = std::move(latest);
        endResetModel();
    }

    Preferences& preferences;
    Load load;
    Store storeList;
    List list;
    // Our own writes come back as change notifications; they are already shown.
    bool storing = false;
};
