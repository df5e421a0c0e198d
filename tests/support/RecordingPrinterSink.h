#pragma once

#include "core/PrinterSink.h"

#include <cstdint>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace morvane {

enum class PrinterOpKind { FontName, FontSize, MoveX, MoveY, Line, PageBreak, EndDocument };

// One printer call as the sink received it; text for the font name and the
// printed line, number for the size and the positions.
struct PrinterOp {
    PrinterOpKind kind;
    std::u16string text = {};
    float number = 0;

    friend bool operator==(const PrinterOp&, const PrinterOp&) = default;
};

inline const char* opName(PrinterOpKind kind) {
    switch (kind) {
    case PrinterOpKind::FontName:
        return "setFontName";
    case PrinterOpKind::FontSize:
        return "setFontSize";
    case PrinterOpKind::MoveX:
        return "setCurrentX";
    case PrinterOpKind::MoveY:
        return "setCurrentY";
    case PrinterOpKind::Line:
        return "printLine";
    case PrinterOpKind::PageBreak:
        return "newPage";
    case PrinterOpKind::EndDocument:
        return "endDocument";
    }
    return "?";
}

// Lets a failing comparison show the calls instead of raw bytes. Text is
// shown by its length only: gtest cannot print UTF-16 as such.
inline void PrintTo(const PrinterOp& op, std::ostream* os) {
    *os << opName(op.kind);
    if (op.kind == PrinterOpKind::FontName || op.kind == PrinterOpKind::Line) {
        *os << "(" << op.text.size() << " units:";
        for (char16_t c : op.text)
            *os << ' ' << static_cast<std::uint32_t>(c);
        *os << ")";
    } else if (op.kind != PrinterOpKind::PageBreak && op.kind != PrinterOpKind::EndDocument) {
        *os << "(" << op.number << ")";
    }
}

// Records every printer call in order. Failures are scripted per operation:
// failOn(printLine, 5) makes the fifth printLine return false; the call is
// still recorded, since the caller made it.
class RecordingPrinterSink : public PrinterSink {
public:
    std::vector<PrinterOp> ops;

    void failOn(PrinterOpKind kind, std::int32_t occurrence) {
        m_failures.insert({kind, occurrence});
    }

    bool setFontName(const std::u16string& face) override {
        return record({PrinterOpKind::FontName, face});
    }
    bool setFontSize(float points) override {
        return record({PrinterOpKind::FontSize, {}, points});
    }
    bool setCurrentX(float twips) override { return record({PrinterOpKind::MoveX, {}, twips}); }
    bool setCurrentY(float twips) override { return record({PrinterOpKind::MoveY, {}, twips}); }
    bool printLine(const std::u16string& text) override {
        return record({PrinterOpKind::Line, text});
    }
    bool newPage() override { return record({PrinterOpKind::PageBreak}); }
    bool endDocument() override { return record({PrinterOpKind::EndDocument}); }

private:
    bool record(PrinterOp op) {
        const std::int32_t occurrence = ++m_seen[op.kind];
        ops.push_back(std::move(op));
        return !m_failures.contains({ops.back().kind, occurrence});
    }

    std::map<PrinterOpKind, std::int32_t> m_seen;
    std::set<std::pair<PrinterOpKind, std::int32_t>> m_failures;
};

} // namespace morvane
