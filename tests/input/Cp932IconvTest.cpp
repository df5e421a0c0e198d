#include "input/Cp932.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace morvane {
namespace {

constexpr char16_t Replacement = 0xFFFD;
constexpr std::int16_t UnmappedCode = 63;
// Enough to see the pattern of a wrong table without 65,536 failures.
constexpr int FailuresShown = 10;

// glibc's iconv, which the core's table was generated from and which the core
// called itself before: the answers the table has to keep giving.
class GlibcCp932 {
public:
    GlibcCp932()
        : m_decoder(iconv_open("UTF-16LE", "CP932")), m_encoder(iconv_open("CP932", "UTF-16LE")) {}
    ~GlibcCp932() {
        for (const iconv_t conversion : {m_decoder, m_encoder})
            if (conversion != NoConversion)
                iconv_close(conversion);
    }
    GlibcCp932(const GlibcCp932&) = delete;
    GlibcCp932& operator=(const GlibcCp932&) = delete;

    bool opened() const { return m_decoder != NoConversion && m_encoder != NoConversion; }

    // An invalid or cut-short sequence gives U+FFFD for its first byte, and
    // decoding starts again at the next.
    std::u16string decode(const std::string& bytes) {
        std::u16string text;
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        while (inLeft > 0) {
            std::u16string chunk(inLeft, u'\0');
            char* out = reinterpret_cast<char*>(chunk.data());
            std::size_t outLeft = chunk.size() * sizeof(char16_t);
            iconv(m_decoder, nullptr, nullptr, nullptr, nullptr);
            const std::size_t result = iconv(m_decoder, &in, &inLeft, &out, &outLeft);
            text.append(chunk.data(), chunk.size() - outLeft / sizeof(char16_t));
            if (result == static_cast<std::size_t>(-1)) {
                text += Replacement;
                ++in;
                --inLeft;
            }
        }
        return text;
    }

    // One byte as is, two as a signed 16-bit value, 63 for none.
    std::int16_t code(char16_t c) {
        char units[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        unsigned char bytes[4];
        char* in = units;
        char* out = reinterpret_cast<char*>(bytes);
        std::size_t inLeft = sizeof units, outLeft = sizeof bytes;
        iconv(m_encoder, nullptr, nullptr, nullptr, nullptr);
        if (iconv(m_encoder, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1))
            return UnmappedCode;
        const std::size_t length = sizeof bytes - outLeft;
        if (length == 1)
            return bytes[0];
        if (length == 2)
            return static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]));
        return UnmappedCode;
    }

private:
    static inline const iconv_t NoConversion = reinterpret_cast<iconv_t>(-1);
    iconv_t m_decoder;
    iconv_t m_encoder;
};

std::string hexBytes(const std::string& bytes) {
    std::ostringstream out;
    out << std::hex;
    for (const char b : bytes)
        out << ' ' << static_cast<int>(static_cast<unsigned char>(b));
    return out.str();
}

class Cp932AgainstGlibc : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_glibc.opened()) << "iconv has no CP932"; }

    void expectDecodedAsGlibcDoes(const std::string& bytes) {
        if (m_failures < FailuresShown && decodeCp932(bytes) != m_glibc.decode(bytes)) {
            ADD_FAILURE() << "decoded differently:" << hexBytes(bytes);
            ++m_failures;
        }
    }

    GlibcCp932 m_glibc;
    int m_failures = 0;
};

TEST_F(Cp932AgainstGlibc, DecodesEveryOneAndTwoByteSequence) {
    for (int first = 0; first < 256; ++first) {
        expectDecodedAsGlibcDoes(std::string(1, static_cast<char>(first)));
        for (int second = 0; second < 256; ++second)
            expectDecodedAsGlibcDoes({static_cast<char>(first), static_cast<char>(second)});
    }
}

// Pairs and stray bytes in a row: where one character ends decides where the
// next begins, so a decoder that steps wrongly shows only in longer texts.
TEST_F(Cp932AgainstGlibc, DecodesRunsOfLeadTrailAndStrayBytes) {
    using namespace std::string_literals;
    const std::string bytePool = "\x81\x82\x87\x88\x9f\xe0\xea\xed\xee\xef\xf0\xfa\xfc\xfd"
                                 "\x40\x5c\x7e\x7f\x80\xa0\xa1\xdf\xfe\xff\x00\x20\x41"s;
    std::mt19937 random(932);
    std::uniform_int_distribution<std::size_t> pick(0, bytePool.size() - 1);
    std::uniform_int_distribution<int> length(1, 12);
    for (int text = 0; text < 20000; ++text) {
        std::string bytes(length(random), '\0');
        for (char& b : bytes)
            b = bytePool[pick(random)];
        expectDecodedAsGlibcDoes(bytes);
    }
}

// Every code unit, surrogates and U+FFFD included: several codes decode to
// one character, and glibc encodes some characters it never decodes to.
TEST_F(Cp932AgainstGlibc, EncodesEveryCodeUnit) {
    for (std::uint32_t unit = 0; unit <= 0xFFFF && m_failures < FailuresShown; ++unit) {
        const auto c = static_cast<char16_t>(unit);
        if (cp932Code(c) != m_glibc.code(c)) {
            ADD_FAILURE() << "U+" << std::hex << unit << ": " << std::dec << cp932Code(c)
                          << ", glibc " << m_glibc.code(c);
            ++m_failures;
        }
    }
}

} // namespace
} // namespace morvane
