#include "input/Cp932.h"

#include "core/RunError.h"
#include "core/Text.h"
#include "input/Cp932Table.h"

#include <array>
#include <cmath>

namespace morvane {

namespace {

constexpr std::int16_t UnmappedCode = 63;
constexpr std::size_t CodeBlockSize = 256;

// Hands record(character, code) every character that decodes, from the last
// byte sequence to the first, so that a character's first code in byte order
// comes last; then glibc's encoding choices, which overrule.
template <typename Record> constexpr void forEachEncoding(Record record) {
    for (std::size_t lead = cp932::LeadByteRows.size(); lead-- > 0;) {
        const std::uint8_t row = cp932::LeadByteRows[lead];
        if (row == cp932::NotALeadByte)
            continue;
        for (std::size_t trail = cp932::TrailByteCount; trail-- > 0;) {
            const char16_t c = cp932::DoubleByteCharacters[row][trail];
            if (c != cp932::NoCharacter)
                record(c, static_cast<std::uint16_t>(lead << 8 | (cp932::FirstTrailByte + trail)));
        }
    }
    for (std::size_t byte = cp932::SingleByteCharacters.size(); byte-- > 0;) {
        const char16_t c = cp932::SingleByteCharacters[byte];
        if (c != cp932::NoCharacter)
            record(c, static_cast<std::uint16_t>(byte));
    }
    for (const auto& choice : cp932::EncodingChoices)
        record(choice.character, choice.code);
}

// One block of codes for each high byte of a UTF-16 code unit that has any,
// and one shared by all others: about 55 KB rather than 128 KB for all 65,536.
constexpr std::size_t codeBlockCount() {
    std::array<bool, 256> hasCodes{};
    forEachEncoding([&](char16_t c, std::uint16_t) { hasCodes[c / CodeBlockSize] = true; });
    std::size_t count = 1;
    for (const bool has : hasCodes)
        count += has ? 1 : 0;
    return count;
}

struct CodeTable {
    std::array<std::uint8_t, 256> blockOfHighByte{};
    std::array<std::array<std::int16_t, CodeBlockSize>, codeBlockCount()> blocks{};
};

constexpr CodeTable buildCodeTable() {
    CodeTable table{};
    for (auto& block : table.blocks)
        block.fill(UnmappedCode);
    std::uint8_t nextBlock = 1;
    forEachEncoding([&](char16_t c, std::uint16_t code) {
        std::uint8_t& block = table.blockOfHighByte[c / CodeBlockSize];
        if (block == 0)
            block = nextBlock++;
        // Two bytes as a signed 16-bit value, as the names' keys have always weighed them.
        table.blocks[block][c % CodeBlockSize] = static_cast<std::int16_t>(code);
    });
    return table;
}

static_assert(codeBlockCount() <= 256, "a block number is one byte");
constexpr CodeTable Codes = buildCodeTable();

// std::pow itself, taken once per exponent that a double can hold: the same
// values, without a call per character of every name of a large file.
double powerOfTen(std::int64_t exponent) {
    static const auto table = [] {
        std::array<double, 310> powers{};
        for (std::size_t n = 0; n < powers.size(); ++n)
            powers[n] = std::pow(10.0, static_cast<double>(n));
        return powers;
    }();
    if (exponent >= 0 && exponent < static_cast<std::int64_t>(table.size()))
        return table[exponent];
    return std::pow(10.0, static_cast<double>(exponent));
}

} // namespace

std::u16string decodeCp932(std::string_view bytes) {
    std::u16string text(bytes.size(), u'\0');
    std::size_t length = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        // A byte that does not decode, alone or as a pair's lead, is U+FFFD;
        // decoding goes on with the next byte, which may lead a pair itself.
        char16_t c = cp932::SingleByteCharacters[byte];
        const std::uint8_t row = cp932::LeadByteRows[byte];
        if (row != cp932::NotALeadByte && i + 1 < bytes.size()) {
            const unsigned trail = static_cast<unsigned char>(bytes[i + 1]) - cp932::FirstTrailByte;
            if (trail < cp932::TrailByteCount) {
                const char16_t pair = cp932::DoubleByteCharacters[row][trail];
                if (pair != cp932::NoCharacter) {
                    c = pair;
                    ++i;
                }
            }
        }
        text[length++] = c;
    }
    text.resize(length);
    return text;
}

std::int16_t cp932Code(char16_t c) {
    return Codes.blocks[Codes.blockOfHighByte[c / CodeBlockSize]][c % CodeBlockSize];
}

double NameKey(std::u16string_view name) {
    // A character beyond U+FFFF (only UTF-8 and UTF-16 files hold one) is
    // two code units but one character, without a code page 932 form.
    const auto isPair = [&](std::size_t i) { return startsSurrogatePair(name, i); };
    std::int64_t length = static_cast<std::int64_t>(name.size());
    for (std::size_t i = 0; i < name.size(); ++i)
        if (isPair(i))
            --length, ++i;
    double key = 0;
    std::size_t unit = 0;
    for (std::int64_t i = 1; i <= length; ++i) {
        const bool pair = isPair(unit);
        const std::int16_t code = pair ? UnmappedCode : cp932Code(name[unit]);
        unit += pair ? 2 : 1;
        const double power = powerOfTen(length - i);
        const double term = code * power;
        key += term;
        if (!std::isfinite(power) || !std::isfinite(term) || !std::isfinite(key))
            throw runError(ErrorNumber::Overflow);
    }
    return key;
}

} // namespace morvane
