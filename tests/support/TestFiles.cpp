#include "support/TestFiles.h"

#include "core/Text.h"

#include <cstdlib>
#include <fstream>
#include <iconv.h>
#include <iterator>
#include <stdexcept>

namespace morvane::test {

std::string cp932(std::u16string_view text) {
    iconv_t cd = iconv_open("CP932", "UTF-16LE");
    std::string out(text.size() * 2 + 1, '\0');
    char* ip = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
    char* op = out.data();
    std::size_t il = text.size() * 2, ol = out.size();
    const std::size_t r = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1))
        throw std::invalid_argument("not encodable in code page 932: " + toUtf8(text));
    out.resize(out.size() - ol);
    return out;
}

std::string savedAs(FileEncoding encoding, std::u16string_view text) {
    const auto utf16 = [&](bool bigEndian) {
        std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (char16_t u : text) {
            const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
            out += bigEndian ? high : low;
            out += bigEndian ? low : high;
        }
        return out;
    };
    switch (encoding) {
    case FileEncoding::Cp932:
        return cp932(text);
    case FileEncoding::Utf8:
        return toUtf8(text);
    case FileEncoding::Utf8WithBom:
        return "\xEF\xBB\xBF" + toUtf8(text);
    case FileEncoding::Utf16Le:
        return utf16(false);
    case FileEncoding::Utf16Be:
        return utf16(true);
    }
    return {};
}

TempFile::TempFile(const std::string& bytes, const std::string& name) {
    std::string pattern = (std::filesystem::temp_directory_path() / "morvane-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    m_folder = pattern;
    m_path = m_folder / name;
    std::ofstream(m_path, std::ios::binary) << bytes;
}

TempFile::~TempFile() {
    std::error_code ignored;
    std::filesystem::permissions(m_folder, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_folder, ignored);
}

const std::string PairSheet =
    "<地図 xmlns=\"http://www.moj.go.jp/MINJI/tizuxml\" "
    "xmlns:g=\"http://www.moj.go.jp/MINJI/tizuzumen\"><座標系>公共座標9系</座標系>"
    "<g:GM_Point><g:DirectPosition><g:X>1</g:X><g:Y>1</g:Y></g:DirectPosition></g:GM_Point>"
    "<g:GM_Point><g:DirectPosition><g:X>1</g:X><g:Y>1.01</g:Y></g:DirectPosition></g:GM_Point>"
    "</地図>";

std::string simaFile(const std::vector<std::u16string>& records) {
    std::u16string text = u"G00,01,test,\r\nZ00,座標データ,\r\nA00,\r\n";
    for (const auto& r : records)
        text += r + u"\r\n";
    text += u"A99,\r\n";
    return cp932(text);
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::size_t countLines(std::string_view text, std::string_view line) {
    std::size_t n = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view current = text.substr(0, end);
        if (current.ends_with('\r'))
            current.remove_suffix(1);
        n += current == line;
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return n;
}

} // namespace morvane::test
