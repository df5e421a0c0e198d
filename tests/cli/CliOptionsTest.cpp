#include "cli/CliOptions.h"

#include "support/Process.h"
#include "support/TestFiles.h"

#include <cctype>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

namespace morvane {
namespace {

using test::runProcess;

std::set<std::string> declaredNames() {
    std::set<std::string> names;
    for (const CliOption& option : cliOptions()) {
        names.insert(option.name);
        if (option.shortName)
            names.insert(option.shortName);
    }
    return names;
}

// The words of text that are option names: "-q", "--plot-size".
void addOptionNames(const std::string& text, std::set<std::string>& names) {
    std::string word;
    for (const char c : text + ' ') {
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '-') {
            word += c;
            continue;
        }
        if (word.size() > 1 && word[0] == '-')
            names.insert(word);
        word.clear();
    }
}

// The options the manual page describes: the tag lines of its OPTIONS
// section, with the roff escapes for a minus and for fonts taken out.
std::set<std::string> manualNames(const std::string& page) {
    std::set<std::string> names;
    std::istringstream lines(page);
    std::string line;
    bool inOptions = false;
    bool tagFollows = false;
    while (std::getline(lines, line)) {
        if (line.starts_with(".SH"))
            inOptions = line == ".SH OPTIONS";
        if (inOptions && tagFollows) {
            std::string plain;
            for (std::size_t i = 0; i < line.size(); ++i) {
                if (line.compare(i, 2, "\\-") == 0) {
                    plain += '-';
                    ++i;
                } else if (line.compare(i, 2, "\\f") == 0) {
                    i += 2;
                } else {
                    plain += line[i];
                }
            }
            addOptionNames(plain, names);
        }
        tagFollows = line == ".TP";
    }
    return names;
}

// The options --help lists: the names column of its "Options:" lines.
std::set<std::string> helpNames(const std::string& help) {
    std::set<std::string> names;
    std::istringstream lines(help);
    std::string line;
    while (std::getline(lines, line) && line != "Options:") {
    }
    while (std::getline(lines, line) && !line.empty())
        addOptionNames(line.substr(0, line.find("  ", 2)), names);
    return names;
}

// Both ways: an option left out of the manual or --help is undocumented, and
// one named there but not declared is documented but refused.
TEST(CommandLineOptions, ManualPageAndHelpNameExactlyTheDeclaredOptions) {
    const std::set<std::string> declared = declaredNames();
    EXPECT_EQ(manualNames(test::readFile(MORVANE_CHECK_MANUAL)), declared);

    const auto help = runProcess(MORVANE_CHECK_EXE, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(helpNames(help.out), declared) << help.out;
    const auto h = runProcess(MORVANE_CHECK_EXE, {"-h"});
    EXPECT_EQ(h.out, help.out);
    EXPECT_EQ(h.status, 0);
}

TEST(CommandLineOptions, AValueCanBeGivenInEveryForm) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"-j4", "a.sim"},
                                                 {"-j", "4", "a.sim"},
                                                 {"-j=4", "a.sim"},
                                                 {"--jobs=4", "a.sim"},
                                                 {"--jobs", "4", "a.sim"}}) {
        EXPECT_EQ(parseCliOptions(args).jobs, 4u) << args.front();
    }

    // The word after an option is its value, whatever it looks like; after
    // "--", "-" and "" every word is a file.
    auto o = parseCliOptions({"--lower", "--tolerance", "--pdf=-", "-", "", "--", "-q", "--bogus"});
    EXPECT_EQ(o.lower, u"--tolerance");
    EXPECT_EQ(o.tolerance, u"0.05");
    EXPECT_EQ(o.pdf, "-");
    EXPECT_FALSE(o.quiet);
    EXPECT_EQ(o.files, (std::vector<std::string>{"-", "", "-q", "--bogus"}));

    // Given twice, the last one counts; "--name=" gives an empty value.
    o = parseCliOptions(
        {"--format", "csv", "--format=report", "--list", "-j2", "-j", "3", "--lower=", "a.sim"});
    EXPECT_EQ(o.format, OutputFormat::Report);
    EXPECT_TRUE(o.list);
    EXPECT_EQ(o.jobs, 3u);
    EXPECT_EQ(o.lower, u"");

    EXPECT_EQ(parseCliOptions({"--names", "nfkc", "--check", "numbers,names", "a.sim"}).checks,
              (CheckChoice{true, false, true, NameComparison::LookAlike}));
    EXPECT_EQ(parseCliOptions({"--check", "numbers", "a.sim"}).checks,
              (CheckChoice{true, true, true}));

    EXPECT_TRUE(parseCliOptions({"-h"}).help);
    EXPECT_TRUE(parseCliOptions({"--version"}).version);
}

// What parseCliOptions refuses args with, or "accepted".
std::string refusal(const std::vector<std::string>& args) {
    try {
        parseCliOptions(args);
    } catch (const UsageError& e) {
        return e.what();
    }
    return "accepted";
}

TEST(CommandLineOptions, RefusalsSayExactlyWhatIsWrong) {
    const struct {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{"--bogus", "a.sim"}, "unknown option --bogus"},
        // Short options do not combine, options without a value take none,
        // and names are never abbreviated.
        {{"-qr", "a.sim"}, "unknown option -qr"},
        {{"--quiet=1", "a.sim"}, "unknown option --quiet=1"},
        {{"--tol=1", "a.sim"}, "unknown option --tol=1"},
        {{"a.sim", "--lower"}, "option --lower needs a value"},
        {{"a.sim", "-j"}, "option -j needs a value"},
        {{"-jobs", "a.sim"}, "-j takes a number of files from 1 to 1024, not \"obs\""},
        {{"--jobs=", "a.sim"}, "-j takes a number of files from 1 to 1024, not \"\""},
        {{"--format", "xml", "a.sim"},
         "--format takes \"report\", \"csv\", \"json\" or \"geojson\", not \"xml\""},
        {{"--encoding=latin1", "a.sim"},
         "--encoding takes \"auto\", \"cp932\", \"utf-8\" or \"utf-16\", not \"latin1\""},
        {{"--on-too-many", "maybe", "a.sim"},
         "--on-too-many takes \"stop\" or \"continue\", not \"maybe\""},
        {{"--zone", "20", "a.sim"},
         "--zone takes a plane rectangular zone from 1 to 19, not \"20\""},
        {{"--plot-size", "800", "a.sim"},
         "--plot-size takes WIDTHxHEIGHT in pixels, each 64 to 8000, not \"800\""},
        {{"--check=names,number", "a.sim"},
         "--check takes \"names\", \"coincident\" or \"numbers\", separated by commas, not "
         "\"number\""},
        {{"--check=coincident,numbers", "--names=nfkc", "a.sim"},
         "--names applies to the name check, which --check leaves out"},
        {{"--pdf=", "a.sim"}, "--pdf needs a file or folder name"},
        {{"--plot", "", "a.sim"}, "--plot needs a file or folder name"},
        {{}, "no coordinate file given"},
        {{"-r"}, "no folder given"},
        // The first fault is the one named.
        {{"--format", "xml", "--bogus", "a.sim"},
         "--format takes \"report\", \"csv\", \"json\" or \"geojson\", not \"xml\""},
        {{"--format=csv", "--list", "a.sim"},
         "--list prints the result list; it does not go with --format csv, json or geojson"},
        {{"--format=json", "--crlf", "a.sim"},
         "--crlf applies to the report; CSV always ends lines with CR LF, JSON and GeoJSON "
         "with LF"},
        {{"--zone", "9", "a.sim"}, "--zone applies only to --format geojson"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "(nothing)" : c.args.front());
        EXPECT_EQ(refusal(c.args), c.says);
    }
}

} // namespace
} // namespace morvane
