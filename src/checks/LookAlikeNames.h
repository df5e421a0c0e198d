#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

struct PointTable;

// The form in which names that read alike are equal, whatever the width of
// their characters: Unicode NFKC (through ICU), which turns full-width
// letters, digits and signs into ASCII ("Ｔ１" into "T1", "道５" into "道5"),
// half-width katakana into full-width ones ("ﾃｸﾞｲ" into "テグイ") and the
// ideographic space into a space. Letter case stays as it is. Empty when the
// name already is its own form, as every ASCII name is.
std::optional<std::u16string> lookAlikeForm(std::u16string_view name);

// False in a build without ICU, which compares names only as written.
bool lookAlikeNamesAvailable();

// The look-alike form of every point's name, made once for a check. Only the
// names that change are copied.
class LookAlikeNames {
public:
    explicit LookAlikeNames(const PointTable& table);

    std::u16string_view operator[](std::int32_t position) const;
    // Whether the point's name differs from its form.
    bool changed(std::int32_t position) const { return m_formOf[position] >= 0; }

private:
    const PointTable& m_table;
    // By position: the index of the point's form in m_forms, or -1.
    std::vector<std::int32_t> m_formOf;
    std::vector<std::u16string> m_forms;
};

} // namespace morvane
