#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morvane::test {

// What poppler-utils read back from a PDF: the test sees the document as a
// viewer would, not as the program meant to write it.

std::int32_t pdfPageCount(const std::string& pdf);

// The non-empty lines of a text, each with its words joined by single spaces.
std::vector<std::string> wordLines(const std::string& text);

// The non-empty lines of one page (1-based) as pdftotext -layout lays them
// out, each reduced to its words separated by single spaces.
std::vector<std::string> pdfPageLines(const std::string& pdf, std::int32_t page);

struct PdfWord {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0; // points from the page's top-left
    std::string text;
};

// The words of each page in reading order, with their boxes (pdftotext -bbox).
std::vector<std::vector<PdfWord>> pdfWords(const std::string& pdf);

// The pdffonts table: the embedded fonts and whether they map to Unicode.
std::string pdfFonts(const std::string& pdf);

// Runs a program and returns its standard output; the test fails when it
// cannot start or exits with a status other than 0.
std::string runTool(const std::string& program, const std::vector<std::string>& args);

// Millimetres to PDF points.
constexpr double mmToPt(double mm) {
    return mm * 72 / 25.4;
}

} // namespace morvane::test
