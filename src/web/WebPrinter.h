#pragma once

#include "core/PrinterSink.h"

#include <string>

namespace morvane {

// The printer of the page: lays out what the print command prints as pages
// of placed lines, which the page draws on sheets for the browser's print
// dialog. The layout is a JSON array of pages, each an array of lines
// {"x": twips, "y": twips, "face": .., "points": .., "text": ..}.
class WebPrinter : public PrinterSink {
public:
    bool setFontName(const std::u16string& face) override;
    bool setFontSize(float points) override;
    bool setCurrentX(float twips) override;
    bool setCurrentY(float twips) override;
    bool printLine(const std::u16string& text) override;
    bool newPage() override;
    bool endDocument() override;

    const std::string& layout() const { return m_layout; }

private:
    std::u16string m_face;
    float m_points = 10;
    float m_x = 0;
    float m_y = 0;
    bool m_pageOpen = false;
    bool m_lineOnPage = false;
    std::string m_layout = "[";
};

} // namespace morvane
