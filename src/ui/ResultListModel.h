#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include <QAbstractListModel>

namespace morvane {

// The items of the result list. A run may append hundreds of thousands of
// items; they are counted at once but shown to the view in batches (flush),
// because a view that hears of every row separately takes minutes. Their
// texts are kept end to end in one buffer and made into a QString only when
// the view asks for a row, which it does for the rows on screen.
class ResultListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void append(std::u16string_view item);
    void clear();
    // Every appended item, shown or not yet.
    std::int32_t count() const { return static_cast<std::int32_t>(m_ends.size()); }
    // Tells the view about the items appended since the last flush.
    void flush();

private:
    std::vector<char16_t> m_texts;
    // Where each item's text ends in m_texts; it starts where the one
    // before ends.
    std::vector<std::size_t> m_ends;
    int m_shown = 0;
};

} // namespace morvane
