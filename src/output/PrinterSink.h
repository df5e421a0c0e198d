#pragma once

#include <string>

namespace morvane {

// The printer operations the print command uses. Positions are in twips from
// the top-left corner of the printable area. Each operation returns false when
// it fails; the caller skips it and goes on with the next step.
class PrinterSink {
public:
    virtual ~PrinterSink() = default;

    virtual bool SetFontName(const std::u16string& face) = 0;
    virtual bool SetFontSize(float points) = 0;
    virtual bool SetCurrentX(float twips) = 0;
    virtual bool SetCurrentY(float twips) = 0;
    // Draws the text with its top-left at the current position, then moves to
    // x 0 and one line height of the current font further down.
    virtual bool PrintLine(const std::u16string& text) = 0;
    virtual bool NewPage() = 0;
    virtual bool EndDoc() = 0;
};

} // namespace morvane
