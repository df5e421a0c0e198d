#include "input/Cp932.h"

#include "core/RunError.h"
#include "core/Text.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <iconv.h>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace morvane {

namespace {

constexpr char16_t Replacement = 0xFFFD;
constexpr std::int16_t UnmappedCode = 63;

// glibc's "CP932", not "SHIFT_JIS": 0x5C must stay the backslash and 0x8160
// must be U+FF5E, as the files' authors' systems read them.
constexpr const char* CodePage = "CP932";

class Iconv {
public:
    Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Iconv() { iconv_close(m_cd); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    iconv_t get() const { return m_cd; }
    void reset() { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t m_cd;
};

// Built once: every UTF-16 code unit re-encoded on its own.
std::array<std::int16_t, 0x10000> buildCodeTable() {
    std::array<std::int16_t, 0x10000> table{};
    Iconv cd(CodePage, "UTF-16LE");
    for (std::uint32_t u = 0; u < 0x10000; ++u) {
        table[u] = UnmappedCode;
        if (u == Replacement || (u >= 0xD800 && u <= 0xDFFF))
            continue;
        const char in[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
        unsigned char out[4];
        char* ip = const_cast<char*>(in);
        char* op = reinterpret_cast<char*>(out);
        std::size_t il = 2, ol = sizeof out;
        cd.reset();
        if (iconv(cd.get(), &ip, &il, &op, &ol) == static_cast<std::size_t>(-1))
            continue;
        const std::size_t n = sizeof out - ol;
        if (n == 1)
            table[u] = out[0];
        else if (n == 2)
            table[u] = static_cast<std::int16_t>(static_cast<std::uint16_t>(out[0] << 8 | out[1]));
    }
    return table;
}

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
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t ascii = 0;
    while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80)
        ++ascii;
    for (std::size_t i = 0; i < ascii; ++i)
        out += static_cast<char16_t>(bytes[i]);
    if (ascii == bytes.size())
        return out;

    thread_local Iconv cd("UTF-16LE", CodePage);
    cd.reset();
    char* ip = const_cast<char*>(bytes.data() + ascii);
    std::size_t il = bytes.size() - ascii;
    std::u16string chunk(il + 1, u'\0');
    while (il > 0) {
        char* op = reinterpret_cast<char*>(chunk.data());
        std::size_t ol = chunk.size() * sizeof(char16_t);
        const std::size_t r = iconv(cd.get(), &ip, &il, &op, &ol);
        const std::size_t produced = (chunk.size() * sizeof(char16_t) - ol) / sizeof(char16_t);
        out.append(chunk.data(), produced);
        if (r == static_cast<std::size_t>(-1)) {
            if (errno != EILSEQ && errno != EINVAL)
                throw std::runtime_error("iconv failed while decoding code page 932");
            // An invalid or cut-short sequence: one byte becomes U+FFFD.
            out += Replacement;
            ++ip;
            --il;
            cd.reset();
        }
    }
    return out;
}

std::int16_t cp932Code(char16_t c) {
    static const auto table = buildCodeTable();
    return table[c];
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
