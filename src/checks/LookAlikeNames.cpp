#include "checks/LookAlikeNames.h"

#include "core/PointTable.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>
#include <unicode/unorm2.h>
#include <unicode/utypes.h>

namespace morvane {

namespace {

const UNormalizer2& nfkc() {
    static const UNormalizer2* const normalizer = [] {
        UErrorCode status = U_ZERO_ERROR;
        const UNormalizer2* n = unorm2_getNFKCInstance(&status);
        if (U_FAILURE(status))
            throw std::runtime_error(std::string("ICU cannot give NFKC: ") + u_errorName(status));
        return n;
    }();
    return *normalizer;
}

void throwOnFailure(UErrorCode status) {
    if (U_FAILURE(status))
        throw std::runtime_error(std::string("ICU cannot normalize a name: ") +
                                 u_errorName(status));
}

} // namespace

bool lookAlikeNamesAvailable() {
    return true;
}

std::optional<std::u16string> lookAlikeForm(std::u16string_view name) {
    // ASCII is its own form, and most names are ASCII.
    if (std::all_of(name.begin(), name.end(), [](char16_t c) { return c < 0x80; }))
        return std::nullopt;
    const auto length = static_cast<std::int32_t>(name.size());
    UErrorCode status = U_ZERO_ERROR;
    if (unorm2_quickCheck(&nfkc(), name.data(), length, &status) == UNORM_YES)
        return std::nullopt;
    throwOnFailure(status);

    // Most forms fit a small buffer on the stack; a longer one is made again
    // at the length ICU gives.
    std::array<char16_t, 64> buffer;
    std::int32_t formLength = unorm2_normalize(&nfkc(), name.data(), length, buffer.data(),
                                               static_cast<std::int32_t>(buffer.size()), &status);
    std::u16string form;
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        status = U_ZERO_ERROR;
        form.resize(static_cast<std::size_t>(formLength));
        formLength =
            unorm2_normalize(&nfkc(), name.data(), length, form.data(), formLength, &status);
    } else {
        form.assign(buffer.data(), static_cast<std::size_t>(std::max(formLength, 0)));
    }
    throwOnFailure(status);
    if (form == name)
        return std::nullopt;
    return form;
}

LookAlikeNames::LookAlikeNames(const PointTable& table)
    : m_table(table), m_formOf(static_cast<std::size_t>(table.pointCount) + 1, -1) {
    for (std::int32_t p = 1; p <= table.pointCount; ++p)
        if (auto form = lookAlikeForm(table.names[p])) {
            m_formOf[p] = static_cast<std::int32_t>(m_forms.size());
            m_forms.push_back(std::move(*form));
        }
}

std::u16string_view LookAlikeNames::operator[](std::int32_t position) const {
    const std::int32_t form = m_formOf[position];
    return form < 0 ? std::u16string_view(m_table.names[position]) : m_forms[form];
}

} // namespace morvane
