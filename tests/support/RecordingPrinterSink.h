#pragma once

#include "output/PrinterSink.h"

#include <cstdint>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace morvane {

enum class PrinterOpKind {
    SetFontName,
    SetFontSize,
    SetCurrentX,
    SetCurrentY,
    PrintLine,
    NewPage,
    EndDoc
};

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
    case PrinterOpKind::SetFontName:
        return "SetFontName";
    case PrinterOpKind::SetFontSize:
        return "SetFontSize";
    case PrinterOpKind::SetCurrentX:
        return "SetCurrentX";
    case PrinterOpKind::SetCurrentY:
        return "SetCurrentY";
    case PrinterOpKind::PrintLine:
        return "PrintLine";
    case PrinterOpKind::NewPage:
        return "NewPage";
    case PrinterOpKind::EndDoc:
        return "EndDoc";
    }
    return "?";
}

// Lets a failing comparison show the calls instead of raw bytes. Text is
// shown by its length only: gtest cannot print UTF-16 as such.
inline void PrintTo(const PrinterOp& op, std::ostream* os) {
    *os << opName(op.kind);
    if (op.kind == PrinterOpKind::SetFontName || op.kind == PrinterOpKind::PrintLine) {
        *os << "(" << op.text.size() << " units:";
        for (char16_t c : op.text)
            *os << ' ' << static_cast<std::uint32_t>(c);
        *os << ")";
    } else if (op.kind != PrinterOpKind::NewPage && op.kind != PrinterOpKind::EndDoc) {
        *os << "(" << op.number << ")";
    }
}

// Records every printer call in order. Failures are scripted per operation:
// failOn(PrintLine, 5) makes the fifth PrintLine return false; the call is
// still recorded, since the caller made it.
class RecordingPrinterSink : public PrinterSink {
public:
    std::vector<PrinterOp> ops;

    void failOn(PrinterOpKind kind, std::int32_t occurrence) {
        m_failures.insert({kind, occurrence});
    }

    bool SetFontName(const std::u16string& face) override {
        return record({PrinterOpKind::SetFontName, face});
    }
    bool SetFontSize(float points) override {
        return record({PrinterOpKind::SetFontSize, {}, points});
    }
    bool SetCurrentX(float twips) override {
        return record({PrinterOpKind::SetCurrentX, {}, twips});
    }
    bool SetCurrentY(float twips) override {
        return record({PrinterOpKind::SetCurrentY, {}, twips});
    }
    bool PrintLine(const std::u16string& text) override {
        return record({PrinterOpKind::PrintLine, text});
    }
    bool NewPage() override { return record({PrinterOpKind::NewPage}); }
    bool EndDoc() override { return record({PrinterOpKind::EndDoc}); }

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
