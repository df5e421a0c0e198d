#include "print/PdfTools.h"
#include "support/Locales.h"
#include "support/Process.h"
#include "support/TestFiles.h"
#include "support/TestPoints.h"
#include "support/ZipFiles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace morvane {
namespace {

namespace fs = std::filesystem;
using namespace test;

const std::string Example = std::string(MORVANE_EXAMPLES) + "/sample.sim";

// A page's footer as pdftotext reads it, for the default band; the start time
// is the run's own and only its form is known.
std::regex footerOf(const std::string& file, std::int32_t page, std::int32_t pages) {
    return std::regex(file + R"re( 較差 0 から 0\.05 m \d{4}-\d\d-\d\d \d\d:\d\d )re" +
                      std::to_string(page) + " / " + std::to_string(pages));
}

// Runs started a minute apart print different footers; what else a PDF
// says must not differ.
std::string withoutStartTimes(const std::string& text) {
    static const std::regex startTime(R"(\d{4}-\d\d-\d\d \d\d:\d\d)");
    return std::regex_replace(text, startTime, "(start)");
}

// morvane-check as a user without a display runs it: no display variables
// and no QT_QPA_PLATFORM, so it must manage on its own. Quiet: these tests
// look at reports and errors, not at the summary.
ProcessResult check(std::vector<std::string> args,
                    const std::vector<EnvironmentVariable>& set = {}) {
    args.insert(args.begin(), "--quiet");
    return runProcess(MORVANE_CHECK_EXE, args, {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"},
                      set);
}

std::set<std::string> filesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.insert(e.path().filename().string());
    return names;
}

class PdfReportTest : public testing::Test {
protected:
    fs::path path(const std::string& name) const {
        return fs::path(m_dir.path().toStdString()) / name;
    }
    fs::path write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }

    QTemporaryDir m_dir;
};

TEST_F(PdfReportTest, TheExampleReportBecomesAPdfOfTheSameLines) {
    const fs::path pdf = path("report.pdf");
    const auto r = check({"--pdf", pdf.string(), Example});

    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.err, "");
    ASSERT_EQ(pdfPageCount(pdf.string()), 1);
    auto lines = pdfPageLines(pdf.string(), 1);
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(std::regex_match(lines.back(), footerOf(R"(sample\.sim)", 1, 1))) << lines.back();
    lines.pop_back();
    EXPECT_EQ(lines, wordLines(r.out));
    EXPECT_EQ(filesIn(path("")), std::set<std::string>{"report.pdf"});
}

// The GUI application behind --pdf sets the C library's locale from the
// environment before the check runs; neither the report nor the PDF may
// change with it.
TEST_F(PdfReportTest, TheReportAndItsPdfReadTheSameInEveryLocale) {
    std::string why;
    ASSERT_TRUE(ensureNumberLocales(why)) << why;

    struct Report {
        std::string out;
        std::string pdfText;
    };
    const auto reportIn = [&](const std::string& locale) {
        const fs::path pdf = path(locale + ".pdf");
        const auto r =
            check({"--pdf", pdf.string(), Example}, {{"LC_ALL", locale}, {"LANG", locale}});
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_EQ(r.err, "");
        return Report{r.out, withoutStartTimes(runTool(PDFTOTEXT, {"-layout", pdf.string(), "-"}))};
    };
    const Report c = reportIn("C");
    for (const std::string locale : NumberLocales) {
        if (locale == "C")
            continue;
        SCOPED_TRACE(locale);
        const Report other = reportIn(locale);
        EXPECT_EQ(other.out, c.out);
        EXPECT_EQ(other.pdfText, c.pdfText);
    }
}

struct PagesCase {
    const char* what;
    std::int32_t findings;
    int status;
    std::int32_t pages;
};

const PagesCase PagesCases[] = {
    {"no finding: an empty page, still a file", 0, 0, 1},
    {"23 findings fill one page", 23, 1, 1},
    {"24 findings", 24, 1, 2},
    {"46 findings fill two pages", 46, 1, 2},
};

TEST_F(PdfReportTest, TwentyThreeFindingsToAPage) {
    for (const auto& c : PagesCases) {
        SCOPED_TRACE(c.what);
        TempFile input(
            simaFileOf(c.findings > 0 ? findingPairs(c.findings, 0) : separatePoints(2)));
        const fs::path pdf = input.folder() / "points.pdf";
        const auto r = check({"--pdf", pdf.string(), input.path().string()});
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(pdfPageCount(pdf.string()), c.pages);
    }
}

// 24 findings: both pages name the file and count themselves, below the 69
// lines and still on the sheet.
TEST_F(PdfReportTest, EveryPageOfTheReportSaysWhatItIs) {
    TempFile input(simaFileOf(findingPairs(24, 0)));
    const fs::path pdf = input.folder() / "points.pdf";
    const auto r = check({"--pdf", pdf.string(), input.path().string()});
    ASSERT_EQ(r.status, 1) << r.err;
    ASSERT_EQ(pdfPageCount(pdf.string()), 2);

    const auto words = pdfWords(pdf.string());
    ASSERT_EQ(words.size(), 2u);
    for (std::int32_t page = 1; page <= 2; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        const auto lines = pdfPageLines(pdf.string(), page);
        ASSERT_FALSE(lines.empty());
        EXPECT_TRUE(std::regex_match(lines.back(), footerOf(R"(points\.sim)", page, 2)))
            << lines.back();

        const auto& pageWords = words[page - 1];
        const auto name = std::find_if(pageWords.begin(), pageWords.end(),
                                       [](const PdfWord& w) { return w.text == "points.sim"; });
        ASSERT_NE(name, pageWords.end());
        for (auto w = pageWords.begin(); w != name; ++w)
            EXPECT_LT(w->yMax, name->yMin) << w->text;
        for (auto w = name; w != pageWords.end(); ++w)
            EXPECT_LT(w->yMax, mmToPt(297) - mmToPt(5)) << w->text;
    }
}

TEST_F(PdfReportTest, AnExistingPdfIsReplacedOnlyWhenTheRunSucceeds) {
    TempFile older("an older report", "report.pdf");
    const fs::path& pdf = older.path();

    auto r = check({"--pdf", pdf.string(), (older.folder() / "missing.sim").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(readFile(pdf), "an older report");

    r = check({"--pdf", pdf.string(), Example});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(readFile(pdf).rfind("%PDF-", 0), 0u);
    // Permissions like any file the user makes, not private like a temporary one.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(fs::status(pdf).permissions(), static_cast<fs::perms>(0666 & ~mask));
    EXPECT_EQ(filesIn(older.folder()), std::set<std::string>{"report.pdf"});
}

TEST_F(PdfReportTest, AnUnwritablePathIsAnErrorAndWritesNothing) {
    TempFile input(simaFileOf(findingPairs(1, 0)));
    const fs::path targets[] = {
        input.folder() / "no-such-folder/report.pdf",
        input.path() / "report.pdf", // a file where a folder should be
    };
    for (const auto& pdf : targets) {
        SCOPED_TRACE(pdf.string());
        const auto r = check({"--pdf", pdf.string(), input.path().string()});
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("cannot write the PDF report " + pdf.string()), std::string::npos)
            << r.err;
        EXPECT_EQ(filesIn(input.folder()), std::set<std::string>{"points.sim"});
    }
}

TEST_F(PdfReportTest, SeveralFilesGetOnePdfEachInAFolder) {
    fs::create_directory(path("a"));
    fs::create_directory(path("reports"));
    const fs::path one = write("a/one.sim", simaFileOf(findingPairs(1, 0)));
    const fs::path two = write("two.dat", simaFileOf(findingPairs(24, 0)));

    const auto r = check({"--pdf", path("reports").string(), one.string(), two.string()});

    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(filesIn(path("reports")), (std::set<std::string>{"one.pdf", "two.pdf"}));
    EXPECT_EQ(pdfPageCount(path("reports/one.pdf").string()), 1);
    EXPECT_EQ(pdfPageCount(path("reports/two.pdf").string()), 2);
}

TEST_F(PdfReportTest, AnArchiveOfSheetsPrintsItsSheetsInTurn) {
    // Two sheets of one point pair each, a broken one between them.
    const auto sheet = [](const char* x2) {
        return std::string(
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<地図 xmlns=\"http://www.moj.go.jp/MINJI/tizuxml\" "
                   "xmlns:zmn=\"http://www.moj.go.jp/MINJI/tizuzumen\"><座標系>公共座標9系</座標系>"
                   "<空間属性>"
                   "<zmn:GM_Point id=\"P1\"><zmn:GM_Point.position><zmn:DirectPosition>"
                   "<zmn:X>100</zmn:X><zmn:Y>200</zmn:Y></zmn:DirectPosition></zmn:GM_Point.position>"
                   "</zmn:GM_Point>"
                   "<zmn:GM_Point id=\"P2\"><zmn:GM_Point.position><zmn:DirectPosition>"
                   "<zmn:X>") +
               x2 +
               "</zmn:X><zmn:Y>200</zmn:Y></zmn:DirectPosition></zmn:GM_Point.position>"
               "</zmn:GM_Point></空間属性></地図>\n";
    };
    const fs::path city = write("city.zip", zipOf({{"a.xml", sheet("100.01")},
                                                  {"b.xml", "<broken"},
                                                  {"c.xml", sheet("100.02")}}));
    const fs::path pdf = path("city.pdf");
    const auto r = check({"--pdf", pdf.string(), city.string()});
    EXPECT_EQ(r.status, 2) << r.err;
    ASSERT_EQ(pdfPageCount(pdf.string()), 3);
    const auto first = pdfPageLines(pdf.string(), 1);
    const auto second = pdfPageLines(pdf.string(), 2);
    const auto third = pdfPageLines(pdf.string(), 3);
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    ASSERT_FALSE(third.empty());
    EXPECT_NE(first.back().find("city.zip:a.xml"), std::string::npos) << first.back();
    EXPECT_NE(second.front().find("city.zip:b.xml"), std::string::npos) << second.front();
    EXPECT_NE(third.back().find("city.zip:c.xml"), std::string::npos) << third.back();
    EXPECT_NE(third.front().find("同一座標値"), std::string::npos);
}

TEST_F(PdfReportTest, TargetsThatCannotServeAreRefusedBeforeAnyCheck) {
    fs::create_directory(path("a"));
    fs::create_directory(path("b"));
    fs::create_directory(path("reports"));
    const std::string one = write("a/same.sim", simaFileOf(findingPairs(1, 0))).string();
    const std::string two = write("b/same.sim", simaFileOf(findingPairs(1, 0))).string();
    const std::string other = write("other.sim", simaFileOf(findingPairs(1, 0))).string();
    const std::string before = readFile(one);

    struct Refusal {
        const char* what;
        std::vector<std::string> args;
        const char* says;
    };
    const Refusal refusals[] = {
        {"several files, no folder", {"--pdf", path("r.pdf").string(), one, other}, "folder"},
        {"two files, one name", {"--pdf", path("reports").string(), one, two}, "second time"},
        {"the input itself", {"--pdf", one, one}, "overwrite the input"},
        {"a folder that does not exist", {"--pdf", path("nowhere/").string(), one}, "folder"},
    };
    for (const auto& c : refusals) {
        SCOPED_TRACE(c.what);
        const auto r = check(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "") << "no check runs";
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
    EXPECT_EQ(readFile(one), before);
    EXPECT_TRUE(filesIn(path("reports")).empty());
    EXPECT_FALSE(fs::exists(path("r.pdf")));
}

} // namespace
} // namespace morvane
