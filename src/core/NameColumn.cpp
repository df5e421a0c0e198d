#include "core/NameColumn.h"

#include "core/RunError.h"

#include <algorithm>
#include <limits>

namespace morvane {

namespace {
// Characters kept for the next file by clearSlots(); more are given back.
constexpr std::size_t KeptCharacters = 1 << 16;
} // namespace

void NameColumn::assign(std::size_t slot, std::u16string_view name) {
    if (name.empty()) {
        m_slices[slot] = {};
        return;
    }
    // Slices count in 32 bits: 4 G characters of names (8 GB) is beyond any
    // table the capacity allows, but not beyond a hostile file's fields.
    if (name.size() > std::numeric_limits<std::uint32_t>::max() - m_text.size())
        throw runError(ErrorNumber::Overflow);
    m_slices[slot] = {static_cast<std::uint32_t>(m_text.size()),
                      static_cast<std::uint32_t>(name.size())};
    m_text.append(name);
}

void NameColumn::clearSlots(std::size_t last) {
    std::fill(m_slices.begin() + std::min<std::size_t>(1, m_slices.size()),
              m_slices.begin() + std::min(last + 1, m_slices.size()), Slice{});
    if (m_text.capacity() > KeptCharacters)
        std::u16string().swap(m_text);
    else
        m_text.clear();
}

} // namespace morvane
