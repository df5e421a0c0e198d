#include "ui/ResultListModel.h"

namespace morvane {

int ResultListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_shown;
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_shown)
        return {};
    return m_items[static_cast<std::size_t>(index.row())];
}

void ResultListModel::clear() {
    beginResetModel();
    std::vector<QString>().swap(m_items);
    m_shown = 0;
    endResetModel();
}

void ResultListModel::flush() {
    const int total = static_cast<int>(m_items.size());
    if (total == m_shown)
        return;
    beginInsertRows(QModelIndex(), m_shown, total - 1);
    m_shown = total;
    endInsertRows();
}

} // namespace morvane
