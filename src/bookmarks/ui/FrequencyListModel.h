#pragma once
// The frequency bookmarks as rows of title, frequency, unit and mode.

#include "bookmarks/Bookmarks.h"
#include "bookmarks/ui/PersistedListModel.h"

class FrequencyListModel : public PersistedListModel<FrequencyBookmarks> {
public:
    enum Column { titleColumn, frequencyColumn, unitColumn, modeColumn, columnTotal };

    explicit FrequencyListModel(Preferences& preferences, QObject* parent = nullptr);

    int columnCount(const QModelIndex& parent = {}) const override;
    // The mode's edit value is its place among the ten modes.
    QVariant data(const QModelIndex& index, int role) const override;
    // An empty title removes the name; a frequency text that does not read as
    // a number is refused and the stored one kept.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
};
