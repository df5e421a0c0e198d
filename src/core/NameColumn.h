#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

// The names of a table's points, by slot, in one run of characters: each name
// is a slice of it. 499,999 names then cost their characters and eight bytes
// each, not a string object (and for most Japanese names an allocation) each.
class NameColumn {
public:
    // Const, so that `names[n] = name` does not build: assign() writes.
    const std::u16string_view operator[](std::size_t slot) const {
        const Slice s = m_slices[slot];
        return {m_text.data() + s.start, s.length};
    }

    // Asks for the slot's slice, and its characters once the slice is in,
    // ahead of reading them.
    void prefetchSlice(std::size_t slot) const { __builtin_prefetch(&m_slices[slot]); }
    void prefetchText(std::size_t slot) const {
        __builtin_prefetch(m_text.data() + m_slices[slot].start);
    }

    // The slot's name from now on; a name written again leaves its old
    // characters unused until clear().
    void assign(std::size_t slot, std::u16string_view name);

    std::size_t size() const { return m_slices.size(); }
    void resize(std::size_t count) { m_slices.resize(count); }

    // Slots 1..last empty again and the characters dropped; their room is
    // kept for the next file when it is small, given back when it is not.
    void clearSlots(std::size_t last);

private:
    struct Slice {
        std::uint32_t start = 0;
        std::uint32_t length = 0;
    };
    std::u16string m_text;
    std::vector<Slice> m_slices;
};

} // namespace morvane
