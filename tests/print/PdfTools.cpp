#include "print/PdfTools.h"

#include "support/Process.h"

#include <regex>
#include <sstream>

#include <gtest/gtest.h>

namespace morvane::test {

std::string runTool(const std::string& program, const std::vector<std::string>& args) {
    const ProcessResult r = runProcess(program, args);
    if (r.status != 0)
        ADD_FAILURE() << program << " failed (" << r.status << "): " << r.err;
    return r.out;
}

std::int32_t pdfPageCount(const std::string& pdf) {
    const std::string info = runTool(PDFINFO, {pdf});
    std::smatch m;
    if (!std::regex_search(info, m, std::regex(R"(Pages:\s+(\d+))"))) {
        ADD_FAILURE() << "pdfinfo shows no page count:\n" << info;
        return -1;
    }
    return std::stoi(m[1]);
}

std::vector<std::string> wordLines(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string raw; std::getline(in, raw);) {
        std::istringstream words(raw);
        std::string line;
        for (std::string w; words >> w;)
            line += (line.empty() ? "" : " ") + w;
        // A page's closing form feed is white space too, so it drops out here.
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> pdfPageLines(const std::string& pdf, std::int32_t page) {
    const std::string n = std::to_string(page);
    return wordLines(runTool(PDFTOTEXT, {"-layout", "-f", n, "-l", n, pdf, "-"}));
}

std::vector<std::vector<PdfWord>> pdfWords(const std::string& pdf) {
    const std::string html = runTool(PDFTOTEXT, {"-bbox", pdf, "-"});
    const std::regex pageOrWord(
        R"re(<page |<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">([^<]*)</word>)re");
    std::vector<std::vector<PdfWord>> pages;
    for (std::sregex_iterator it(html.begin(), html.end(), pageOrWord), end; it != end; ++it) {
        const auto& m = *it;
        if (!m[1].matched) {
            pages.emplace_back();
            continue;
        }
        if (pages.empty())
            pages.emplace_back();
        pages.back().push_back(
            {std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), m[5]});
    }
    return pages;
}

std::string pdfFonts(const std::string& pdf) {
    return runTool(PDFFONTS, {pdf});
}

} // namespace morvane::test
