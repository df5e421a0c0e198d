#include "core/Text.h"
#include "print/PdfTools.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
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

CommandResult check(const std::vector<std::string>& args) {
    return runWithoutDisplay(MORVANE_CHECK_EXE, args);
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A coordinate file with the given number of duplicate-name findings: pairs
// of points that share a name but lie far apart, so that the coincident-point
// check stays silent.
std::string fileWithFindings(std::int32_t findings) {
    std::u16string text = u"A01,1,ALONE,0,0,\r\n";
    for (std::int32_t i = 1; i <= findings; ++i) {
        const std::u16string n = toUtf16(std::to_string(i));
        text += u"A01," + n + u"1,名" + n + u"," + n + u"00,0,\r\n";
        text += u"A01," + n + u"2,名" + n + u"," + n + u"00,50,\r\n";
    }
    return cp932(text);
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
    EXPECT_EQ(pdfPageLines(pdf.string(), 1), wordLines(r.out));
    EXPECT_EQ(filesIn(path("")), std::set<std::string>{"report.pdf"});
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
        const fs::path input = write("points.sim", fileWithFindings(c.findings));
        const fs::path pdf = path("points.pdf");
        const auto r = check({"--pdf", pdf.string(), input.string()});
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(pdfPageCount(pdf.string()), c.pages);
    }
}

TEST_F(PdfReportTest, AnExistingPdfIsReplacedOnlyWhenTheRunSucceeds) {
    const fs::path pdf = write("report.pdf", "an older report");

    auto r = check({"--pdf", pdf.string(), path("missing.sim").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(readFile(pdf), "an older report");

    r = check({"--pdf", pdf.string(), Example});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(readFile(pdf).rfind("%PDF-", 0), 0u);
    // Permissions like any file the user makes, not private like a temporary one.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(fs::status(pdf).permissions(), static_cast<fs::perms>(0666 & ~mask));
    EXPECT_EQ(filesIn(path("")), std::set<std::string>{"report.pdf"});
}

TEST_F(PdfReportTest, AnUnwritablePathIsAnErrorAndWritesNothing) {
    const fs::path input = write("points.sim", fileWithFindings(1));
    const fs::path targets[] = {
        path("no-such-folder/report.pdf"),
        input / "report.pdf", // a file where a folder should be
    };
    for (const auto& pdf : targets) {
        SCOPED_TRACE(pdf.string());
        const auto r = check({"--pdf", pdf.string(), input.string()});
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("cannot write the PDF report " + pdf.string()), std::string::npos)
            << r.err;
        EXPECT_EQ(filesIn(path("")), std::set<std::string>{"points.sim"});
    }
}

TEST_F(PdfReportTest, SeveralFilesGetOnePdfEachInAFolder) {
    fs::create_directory(path("a"));
    fs::create_directory(path("reports"));
    const fs::path one = write("a/one.sim", fileWithFindings(1));
    const fs::path two = write("two.dat", fileWithFindings(24));

    const auto r = check({"--pdf", path("reports").string(), one.string(), two.string()});

    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(filesIn(path("reports")), (std::set<std::string>{"one.pdf", "two.pdf"}));
    EXPECT_EQ(pdfPageCount(path("reports/one.pdf").string()), 1);
    EXPECT_EQ(pdfPageCount(path("reports/two.pdf").string()), 2);
}

TEST_F(PdfReportTest, TargetsThatCannotServeAreRefusedBeforeAnyCheck) {
    fs::create_directory(path("a"));
    fs::create_directory(path("b"));
    fs::create_directory(path("reports"));
    const std::string one = write("a/same.sim", fileWithFindings(1)).string();
    const std::string two = write("b/same.sim", fileWithFindings(1)).string();
    const std::string other = write("other.sim", fileWithFindings(1)).string();
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
