#pragma once

#include <cstdint>
#include <vector>

#include <QAbstractListModel>
#include <QString>

namespace morvane {

// The items of the result list. A run may append hundreds of thousands of
// items; they are counted at once but shown to the view in batches (flush),
// because a view that hears of every row separately takes minutes.
class ResultListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void append(QString item) { m_items.push_back(std::move(item)); }
    void clear();
    // Every appended item, shown or not yet.
    std::int32_t count() const { return static_cast<std::int32_t>(m_items.size()); }
    // Tells the view about the items appended since the last flush.
    void flush();

private:
    std::vector<QString> m_items;
    int m_shown = 0;
};

} // namespace morvane
