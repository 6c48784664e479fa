#pragma once
// The Receivers window's table: every receiver of the lists as a row of
// plain texts (a list's text is never shown as markup), filtered by the
// listener's query and ordered by a column or as best for a frequency.
// Filtering keeps the order, so a keystroke only walks the rows once.

#include "directory/ReceiverFilter.h"

#include <QAbstractTableModel>

#include <optional>
#include <vector>

class ReceiverTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ReceiverTableModel(QObject* parent = nullptr);

    // New lists, or a new listener position: the query and order stay.
    void setListings(const QList<ReceiverListing>& listings, std::optional<GeoPoint> listener);
    void setQuery(const ReceiverQuery& query);
    const ReceiverQuery& query() const { return m_query; }
    // Orders by the column; ends the "best" order.
    void sortByColumn(ReceiverColumn column, Qt::SortOrder order);
    // Best for the frequency first (ReceiverFilter.h says how).
    void sortBestFor(std::optional<double> frequencyKHz);
    bool isSortedBest() const { return m_best; }

    // What a receiver said of itself when asked: its listener counts, now.
    void updateCounts(const QString& url, int users, int usersMax);

    const ReceiverRow* rowAt(int row) const;
    // The shown row of the address, or -1.
    int rowOf(const QString& url) const;
    // Every shown row, in order.
    QList<const ReceiverRow*> shownRows() const;
    int totalCount() const { return int(m_rows.size()); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

    static QString kindText(ServerKind kind);
    static QString coverageText(const ReceiverListing& listing);

private:
    void reorder();
    void refilter();
    QString text(const ReceiverRow& row, ReceiverColumn column) const;

    QList<ReceiverRow> m_rows;
    std::vector<qsizetype> m_order;
    std::vector<qsizetype> m_shown;
    ReceiverQuery m_query;
    ReceiverColumn m_column = ReceiverColumn::name;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_best = false;
    std::optional<double> m_bestFrequency;
};
