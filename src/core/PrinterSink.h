#pragma once

#include <string>

namespace morvane {

// The printer operations the print command uses. Positions are in twips from
// the top-left corner of the printable area. Each operation returns false when
// it fails; the caller skips it and goes on with the next step.
class PrinterSink {
public:
    virtual ~PrinterSink() = default;

    virtual bool setFontName(const std::u16string& face) = 0;
    virtual bool setFontSize(float points) = 0;
    virtual bool setCurrentX(float twips) = 0;
    virtual bool setCurrentY(float twips) = 0;
    // Draws the text with its top-left at the current position, then moves to
    // x 0 and one line height of the current font further down.
    virtual bool printLine(const std::u16string& text) = 0;
    virtual bool newPage() = 0;
    virtual bool endDocument() = 0;
};

} // namespace morvane
