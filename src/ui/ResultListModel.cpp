#include "ui/ResultListModel.h"

#include <QString>

namespace morvane {

int ResultListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_shown;
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_shown)
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    const std::size_t begin = row == 0 ? 0 : m_ends[row - 1];
    return QString::fromUtf16(m_texts.data() + begin, static_cast<qsizetype>(m_ends[row] - begin));
}

void ResultListModel::append(std::u16string_view item) {
    m_texts.insert(m_texts.end(), item.begin(), item.end());
    m_ends.push_back(m_texts.size());
}

void ResultListModel::clear() {
    beginResetModel();
    std::vector<char16_t>().swap(m_texts);
    std::vector<std::size_t>().swap(m_ends);
    m_shown = 0;
    endResetModel();
}

void ResultListModel::flush() {
    const int total = count();
    if (total == m_shown)
        return;
    beginInsertRows(QModelIndex(), m_shown, total - 1);
    m_shown = total;
    endInsertRows();
}

} // namespace morvane
