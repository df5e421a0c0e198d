#include "input/MapSheet.h"

#include "core/DoubleText.h"
#include "core/NumberFormat.h"
#include "core/PointTable.h"
#include "core/RunError.h"
#include "core/Text.h"
#include "core/TextEncoding.h"
#include "input/Cp932.h"
#include "input/PointStore.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <exception>
#include <expat.h>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace morvane {

namespace {

// Expat reports a name in a namespace as the namespace, this separator and
// the local name; a line feed can be part of neither.
constexpr char NamespaceSeparator = '\n';
constexpr std::string_view MapNamespace = "http://www.moj.go.jp/MINJI/tizuxml";
constexpr std::string_view GeometryNamespace = "http://www.moj.go.jp/MINJI/tizuzumen";
constexpr std::size_t ChunkSize = 64 * 1024;
// As for a field of a coordinate file: far beyond any real name, id or
// number.
constexpr std::size_t MaxTextBytes = 64 * 1024;
// One tag (with its attributes), comment or other piece of markup: real
// sheets stay far below, and expat has to hold one whole.
constexpr std::size_t MaxTokenBytes = 16 * 1024 * 1024;

std::string qualified(std::string_view space, std::string_view local) {
    std::string name(space);
    name += NamespaceSeparator;
    name += local;
    return name;
}

const std::string PointElement = qualified(GeometryNamespace, "GM_Point");
const std::string PositionElement = qualified(GeometryNamespace, "DirectPosition");
const std::string XElement = qualified(GeometryNamespace, "X");
const std::string YElement = qualified(GeometryNamespace, "Y");
const std::string PointReferenceElement = qualified(GeometryNamespace, "GM_PointRef.point");
const std::string BoundaryPointElement = qualified(MapNamespace, "筆界点");
const std::string BoundaryPointNameElement = qualified(MapNamespace, "点番名");
const std::string ControlPointElement = qualified(MapNamespace, "基準点");
const std::string ControlPointNameElement = qualified(MapNamespace, "名称");
const std::string ShapeElement = qualified(MapNamespace, "形状");
const std::string CoordinateSystemElement = qualified(MapNamespace, "座標系");

bool isXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimXmlSpace(std::string_view text) {
    while (!text.empty() && isXmlSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isXmlSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// The value of an attribute without a namespace, or nothing.
std::optional<std::string_view> attribute(const XML_Char** attributes, std::string_view name) {
    for (const XML_Char** a = attributes; *a; a += 2)
        if (name == a[0])
            return trimXmlSpace(a[1]);
    return std::nullopt;
}

// The digits of "P" and digits when they fit in a signed 32-bit number.
std::optional<std::int32_t> numberOfId(std::string_view id) {
    if (id.size() < 2 || id.front() != 'P')
        return std::nullopt;
    id.remove_prefix(1);
    std::int32_t number = 0;
    for (const char c : id) {
        if (c < '0' || c > '9')
            return std::nullopt;
        if (__builtin_mul_overflow(number, 10, &number) ||
            __builtin_add_overflow(number, c - '0', &number))
            return std::nullopt;
    }
    return number;
}

// A decimal number, as XML writes one (a sign, digits, a point, an
// exponent); nothing for any other text or for infinity and NaN. A number
// beyond a double is error 6, as in a coordinate file.
std::optional<double> decimalValue(std::string_view text) {
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = fromChars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range && end == text.data() + text.size())
        throw runError(ErrorNumber::Overflow);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// A value as an error shows it (expat reports all text in UTF-8).
std::u16string shownValue(std::string_view text) {
    return morvane::shownValue(toUtf16(text));
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char x, char y) { return lower(x) == lower(y); });
}

// The encoding expat reads a sheet in, as the user would name it. Expat tells
// UTF-16 by the first bytes (a byte order mark, or "<" as two bytes) and
// otherwise follows the declaration, UTF-8 when it names nothing else it
// knows; any other name is an error before this is asked.
std::string encodingOf(std::string_view firstBytes, std::string_view declared) {
    using namespace std::string_view_literals;
    if (firstBytes.starts_with("\xFE\xFF"sv) || firstBytes.starts_with("\0<"sv))
        return encodingName(FileEncoding::Utf16Be);
    if (firstBytes.starts_with("\xFF\xFE"sv) || firstBytes.starts_with("<\0"sv))
        return encodingName(FileEncoding::Utf16Le);
    for (const std::string_view singleByte : {"ISO-8859-1"sv, "US-ASCII"sv})
        if (equalsIgnoringCase(declared, singleByte))
            return std::string(singleByte);
    return encodingName(firstBytes.starts_with("\xEF\xBB\xBF"sv) ? FileEncoding::Utf8WithBom
                                                                 : FileEncoding::Utf8);
}

std::int32_t lineNumber(XML_Size line) {
    return line > static_cast<XML_Size>(std::numeric_limits<std::int32_t>::max())
               ? std::numeric_limits<std::int32_t>::max()
               : static_cast<std::int32_t>(line);
}

RunError errorAt(std::u16string message, std::int32_t line) {
    RunError error(0, std::move(message));
    error.setLine(line);
    return error;
}

RunError overflowAt(std::int32_t line) {
    RunError error = runError(ErrorNumber::Overflow);
    error.setLine(line);
    return error;
}

// An id is kept like the point number of a coordinate file, to the same
// limit.
std::string_view checkedId(std::string_view id, std::int32_t line) {
    if (id.size() > MaxTextBytes)
        throw overflowAt(line);
    return id;
}

// Fills the buffer from the source as far as it goes.
std::size_t fill(const ByteSource& bytes, char* buffer, std::size_t size) {
    std::size_t filled = 0;
    while (filled < size)
        if (const std::size_t n = bytes(buffer + filled, size - filled))
            filled += n;
        else
            break;
    return filled;
}

// The ids of the points read so far, by position: one open-addressing table
// of positions, small enough to stay in the cache, over the ids themselves.
class PointIds {
public:
    // The position of the point with this id; 0 when there is none yet.
    std::int32_t find(std::string_view id) const {
        if (m_slots.empty())
            return 0;
        for (std::size_t i = slotOf(id);; i = (i + 1) & (m_slots.size() - 1)) {
            const std::int32_t position = m_slots[i];
            if (position == 0 || m_ids[static_cast<std::size_t>(position)] == id)
                return position;
        }
    }

    // Positions come in order, 1, 2, ...; an id that no point has yet.
    void add(std::int32_t position, std::string id) {
        m_ids.resize(static_cast<std::size_t>(position));
        m_ids.push_back(std::move(id));
        if (m_count * 2 >= m_slots.size())
            grow();
        place(position);
        ++m_count;
    }

private:
    std::size_t slotOf(std::string_view id) const {
        return std::hash<std::string_view>()(id) & (m_slots.size() - 1);
    }
    void place(std::int32_t position) {
        std::size_t i = slotOf(m_ids[static_cast<std::size_t>(position)]);
        while (m_slots[i] != 0)
            i = (i + 1) & (m_slots.size() - 1);
        m_slots[i] = position;
    }
    void grow() {
        std::vector<std::int32_t> old = std::move(m_slots);
        m_slots.assign(std::max<std::size_t>(1024, old.size() * 2), 0);
        for (const std::int32_t position : old)
            if (position != 0)
                place(position);
    }

    // Indexed by position; a point without id keeps an empty one.
    std::vector<std::string> m_ids;
    std::vector<std::int32_t> m_slots;
    std::size_t m_count = 0;
};

// A reference to an id that no point has yet: it waits for its point.
struct WaitingReference {
    std::int32_t since = 0;
    bool named = false;
    std::u16string name;
};

enum class TextOf { Nothing, X, Y, Name, CoordinateSystem };

class SheetParser {
public:
    explicit SheetParser(PointTable& table) : m_table(table), m_before(table.pointCount) {
        m_parser = XML_ParserCreateNS(nullptr, NamespaceSeparator);
        if (!m_parser)
            throw std::bad_alloc();
        XML_SetUserData(m_parser, this);
        XML_SetElementHandler(m_parser, &SheetParser::onStart, &SheetParser::onEnd);
        XML_SetCharacterDataHandler(m_parser, &SheetParser::onText);
        XML_SetXmlDeclHandler(m_parser, &SheetParser::onDeclaration);
    }
    ~SheetParser() { XML_ParserFree(m_parser); }
    SheetParser(const SheetParser&) = delete;
    SheetParser& operator=(const SheetParser&) = delete;

    MapSheetReading parse(const ByteSource& bytes) {
        std::uint64_t fed = 0;
        // The bytes of a token (a tag, a comment, ...) that expat has begun
        // but not finished.
        std::size_t open = 0;
        for (bool last = false; !last;) {
            // Expat 2.5 scans an open token from its start again on every
            // call: as many new bytes as the token has keep the scans of a
            // long one to a few times its length, not its square. Never more
            // than take it just past the limit, so that no longer token can
            // end unseen.
            const std::size_t want =
                open < ChunkSize ? ChunkSize : std::min(open, MaxTokenBytes + 1 - open);
            auto* buffer = static_cast<char*>(XML_GetBuffer(m_parser, static_cast<int>(want)));
            if (!buffer)
                throw std::bad_alloc();
            const std::size_t size =
                open < ChunkSize ? bytes(buffer, want) : fill(bytes, buffer, want);
            if (m_firstBytes.size() < 3)
                m_firstBytes.append(buffer, std::min(size, 3 - m_firstBytes.size()));
            last = size == 0;
            if (XML_ParseBuffer(m_parser, static_cast<int>(size), last) != XML_STATUS_OK) {
                if (m_failure)
                    std::rethrow_exception(m_failure);
                throw errorAt(u"XML の形式が正しくありません（" +
                                  toUtf16(XML_ErrorString(XML_GetErrorCode(m_parser))) + u"）。",
                              line());
            }
            fed += size;
            // Between calls expat stands just past its last complete token.
            const XML_Index parsed = XML_GetCurrentByteIndex(m_parser);
            open = static_cast<std::size_t>(
                parsed < 0 ? fed : fed - std::min(fed, static_cast<std::uint64_t>(parsed)));
            if (open > MaxTokenBytes)
                throw errorAt(u"XML の一つのタグやコメントの長さが上限（16 MiB）を超えています。",
                              line());
        }
        nameThePoints();
        m_table.pointCount = m_before + m_count;
        return {encodingOf(m_firstBytes, m_declaredEncoding), statedCoordinateSystem(m_systemText)};
    }

private:
    // Expat is C: an exception must not pass through it. The first one stops
    // the parser and is thrown again once expat has returned.
    template <typename F> static void guarded(void* self, F&& f) {
        auto* parser = static_cast<SheetParser*>(self);
        try {
            f(*parser);
        } catch (...) {
            parser->m_failure = std::current_exception();
            XML_StopParser(parser->m_parser, XML_FALSE);
        }
    }
    static void XMLCALL onStart(void* self, const XML_Char* name, const XML_Char** attributes) {
        guarded(self, [&](SheetParser& p) { p.start(name, attributes); });
    }
    static void XMLCALL onEnd(void* self, const XML_Char*) {
        guarded(self, [](SheetParser& p) { p.end(); });
    }
    static void XMLCALL onText(void* self, const XML_Char* text, int size) {
        guarded(self, [&](SheetParser& p) {
            p.addText(std::string_view(text, static_cast<std::size_t>(size)));
        });
    }
    static void XMLCALL onDeclaration(void* self, const XML_Char*, const XML_Char* encoding, int) {
        guarded(self, [&](SheetParser& p) {
            if (encoding)
                p.m_declaredEncoding = encoding;
        });
    }

    std::int32_t line() const { return lineNumber(XML_GetCurrentLineNumber(m_parser)); }

    void start(std::string_view name, const XML_Char** attributes) {
        ++m_depth;
        if (m_pointDepth == 0 && name == PointElement) {
            startPoint(attributes);
        } else if (m_pointDepth > 0 && m_positionDepth == 0 && name == PositionElement) {
            m_positionDepth = m_depth;
        } else if (m_positionDepth > 0 && m_depth == m_positionDepth + 1 && name == XElement) {
            collectText(TextOf::X);
        } else if (m_positionDepth > 0 && m_depth == m_positionDepth + 1 && name == YElement) {
            collectText(TextOf::Y);
        } else if (name == PointReferenceElement) {
            if (const auto id = attribute(attributes, "idref"))
                refer(checkedId(*id, line()), line());
        } else if (m_namerDepth == 0 &&
                   (name == BoundaryPointElement || name == ControlPointElement)) {
            startNamer(name == BoundaryPointElement ? BoundaryPointNameElement
                                                    : ControlPointNameElement);
        } else if (m_namerDepth > 0 && m_depth == m_namerDepth + 1) {
            if (name == *m_namerNameElement && !m_namerHasName)
                collectText(TextOf::Name);
            else if (name == ShapeElement && m_namerReference.empty())
                if (const auto id = attribute(attributes, "idref")) {
                    m_namerReferenceLine = line();
                    m_namerReference = checkedId(*id, m_namerReferenceLine);
                }
        } else if (m_depth == 2 && !m_systemSeen && name == CoordinateSystemElement) {
            m_systemSeen = true;
            collectText(TextOf::CoordinateSystem);
        }
    }

    void end() {
        if (m_textOf != TextOf::Nothing && m_depth == m_textDepth)
            endText();
        if (m_depth == m_positionDepth)
            m_positionDepth = 0;
        if (m_depth == m_pointDepth)
            endPoint();
        if (m_depth == m_namerDepth)
            endNamer();
        --m_depth;
    }

    void collectText(TextOf what) {
        m_textOf = what;
        m_textDepth = m_depth;
        m_textLine = line();
        m_text.clear();
    }

    void addText(std::string_view text) {
        // Only the element's own text, not that of elements inside it.
        if (m_textOf == TextOf::Nothing || m_depth != m_textDepth)
            return;
        if (m_text.size() + text.size() > MaxTextBytes)
            throw overflowAt(m_textLine);
        m_text += text;
    }

    void endText() {
        const std::string_view text = trimXmlSpace(m_text);
        switch (m_textOf) {
        case TextOf::X:
            m_x = coordinate(text, u"X", m_x);
            break;
        case TextOf::Y:
            m_y = coordinate(text, u"Y", m_y);
            break;
        case TextOf::Name:
            m_namerName = text;
            m_namerNameLine = m_textLine;
            m_namerHasName = true;
            break;
        case TextOf::CoordinateSystem:
            m_systemText = toUtf16(text);
            break;
        case TextOf::Nothing:
            break;
        }
        m_textOf = TextOf::Nothing;
    }

    // "点 P12 " or, for a point without id, "3 番目の点", before its particle.
    std::u16string pointLabel() const {
        return m_pointId.empty() ? formatInteger(m_count + 1) + u" 番目の点"
                                 : u"点 " + shownValue(m_pointId) + u" ";
    }

    double coordinate(std::string_view text, std::u16string_view axis,
                      const std::optional<double>& earlier) {
        if (earlier)
            throw errorAt(pointLabel() + u"に " + std::u16string(axis) +
                              u" 座標が二つ以上あります。",
                          m_textLine);
        std::optional<double> value;
        try {
            value = decimalValue(text);
        } catch (RunError& e) {
            e.setLine(m_textLine);
            throw;
        }
        if (!value)
            throw errorAt(pointLabel() + u"の " + std::u16string(axis) +
                              u" 座標が数値ではありません（" + shownValue(text) + u"）。",
                          m_textLine);
        return *value;
    }

    void startPoint(const XML_Char** attributes) {
        m_pointDepth = m_depth;
        m_pointLine = line();
        try {
            ensureRoomFor(m_before + m_count + 1);
        } catch (RunError& e) {
            e.setLine(m_pointLine);
            throw;
        }
        m_pointId = checkedId(attribute(attributes, "id").value_or(""), m_pointLine);
        m_x.reset();
        m_y.reset();
    }

    void endPoint() {
        m_pointDepth = 0;
        if (!m_x || !m_y)
            throw errorAt(pointLabel() + u"に " + (m_x ? u"Y" : u"X") + u" 座標がありません。",
                          m_pointLine);
        const std::int32_t n = m_count + 1;
        if (!m_pointId.empty()) {
            if (m_ids.find(m_pointId) != 0)
                throw errorAt(u"id " + shownValue(m_pointId) + u" の点が二つ以上あります。",
                              m_pointLine);
        }
        storePoint(m_table, m_before + n, numberOfId(m_pointId).value_or(n), *m_x, *m_y,
                   m_pointLine);
        m_named.resize(static_cast<std::size_t>(n) + 1);
        m_count = n;
        if (m_pointId.empty())
            return;
        // References that came before the point: the first of them names it.
        if (const auto waiting = m_waiting.find(m_pointId); waiting != m_waiting.end()) {
            if (waiting->second.named)
                nameOnce(n, std::move(waiting->second.name));
            m_waiting.erase(waiting);
        }
        m_ids.add(n, std::move(m_pointId));
    }

    void startNamer(const std::string& nameElement) {
        m_namerDepth = m_depth;
        m_namerNameElement = &nameElement;
        m_namerHasName = false;
        m_namerName.clear();
        m_namerReference.clear();
    }

    void endNamer() {
        m_namerDepth = 0;
        if (!m_namerReference.empty())
            refer(m_namerReference, m_namerReferenceLine, &m_namerName);
    }

    // The namer's name as the table keeps it. One too long for its sort key
    // stops the reading at its line when it is to be kept, so that no more
    // than one such name is ever held.
    std::u16string keptName(std::string_view name) const {
        std::u16string text = toUtf16(name);
        try {
            checkedNameKey(text);
        } catch (RunError& e) {
            e.setLine(m_namerNameLine);
            throw;
        }
        return text;
    }

    void nameOnce(std::int32_t n, std::u16string name) {
        m_named[static_cast<std::size_t>(n)] = true;
        storeName(m_table, m_before + n, std::move(name));
    }

    // A reference to a point, which names it when name is given.
    void refer(std::string_view id, std::int32_t referenceLine, const std::string* name = nullptr) {
        if (const std::int32_t n = m_ids.find(id)) {
            if (name && !m_named[static_cast<std::size_t>(n)])
                nameOnce(n, keptName(*name));
            return;
        }
        auto [waiting, added] = m_waiting.try_emplace(std::string(id));
        if (added) {
            // Ids that wait for their point are bounded by the points a
            // sheet may hold: each must meet one.
            if (m_waiting.size() > static_cast<std::size_t>(TableCapacity))
                throw errorAt(u"座標数が上限（499999点）を超えています。", referenceLine);
            waiting->second.since = referenceLine;
        }
        if (name && !waiting->second.named) {
            waiting->second.named = true;
            waiting->second.name = keptName(*name);
        }
    }

    void nameThePoints() {
        if (!m_waiting.empty()) {
            const auto first = std::min_element(
                m_waiting.begin(), m_waiting.end(),
                [](const auto& a, const auto& b) { return a.second.since < b.second.since; });
            throw errorAt(u"参照先の点 " + shownValue(first->first) + u" がありません。",
                          first->second.since);
        }
        for (std::int32_t n = 1; n <= m_count; ++n)
            if (!m_named[static_cast<std::size_t>(n)])
                storeName(m_table, m_before + n, {});
    }

    PointTable& m_table;
    // The points of the table before this sheet's: the sheet's point n (from
    // 1, as its ids and messages count) is at m_before + n.
    const std::int32_t m_before;
    XML_Parser m_parser = nullptr;
    std::exception_ptr m_failure;
    std::int32_t m_depth = 0;
    std::int32_t m_count = 0;

    TextOf m_textOf = TextOf::Nothing;
    std::int32_t m_textDepth = 0;
    std::int32_t m_textLine = 0;
    std::string m_text;

    // The point being read: the depth of its element (0 outside one) and of
    // its DirectPosition.
    std::int32_t m_pointDepth = 0;
    std::int32_t m_positionDepth = 0;
    std::int32_t m_pointLine = 0;
    std::string m_pointId;
    std::optional<double> m_x;
    std::optional<double> m_y;

    // The boundary or control point being read, which names a point.
    std::int32_t m_namerDepth = 0;
    const std::string* m_namerNameElement = nullptr;
    bool m_namerHasName = false;
    std::string m_namerName;
    std::int32_t m_namerNameLine = 0;
    std::string m_namerReference;
    std::int32_t m_namerReferenceLine = 0;

    PointIds m_ids;
    // Whether a point has its name, by position.
    std::vector<bool> m_named;
    std::unordered_map<std::string, WaitingReference> m_waiting;

    bool m_systemSeen = false;
    std::u16string m_systemText;

    // What tells the encoding: the first bytes and the declaration.
    std::string m_firstBytes;
    std::string m_declaredEncoding;
};

} // namespace

MapSheetReading readMapSheet(PointTable& table, const ByteSource& bytes) {
    SheetParser parser(table);
    return parser.parse(bytes);
}

CoordinateSystem statedCoordinateSystem(std::u16string_view text) {
    constexpr std::u16string_view Plane = u"公共座標";
    constexpr std::u16string_view Zone = u"系";
    if (text == u"任意座標系")
        return {CoordinateSystem::Kind::Local, 0};
    if (text.size() <= Plane.size() + Zone.size() || !text.starts_with(Plane) ||
        !text.ends_with(Zone))
        return {};
    const std::u16string_view digits =
        text.substr(Plane.size(), text.size() - Plane.size() - Zone.size());
    if (digits.size() > 2)
        return {};
    std::int32_t zone = 0;
    for (const char16_t c : digits) {
        if (c >= u'0' && c <= u'9')
            zone = zone * 10 + (c - u'0');
        else if (c >= u'０' && c <= u'９')
            zone = zone * 10 + (c - u'０');
        else
            return {};
    }
    if (zone < 1 || zone > 19)
        return {};
    return {CoordinateSystem::Kind::PlaneZone, zone};
}

} // namespace morvane
