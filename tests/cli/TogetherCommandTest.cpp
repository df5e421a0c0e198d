#include "support/Process.h"
#include "support/TestFiles.h"

#include <fstream>

#include <gtest/gtest.h>

namespace morvane {
namespace {

namespace fs = std::filesystem;
using test::runProcess;
using test::simaFile;
using test::TempFile;

// A re-survey below east/ repeats a point of west/ and lies on another.
class TogetherCommand : public testing::Test {
protected:
    TogetherCommand() {
        write(m_root.folder() / "job/east/site.sim",
              simaFile({u"A01,1,P1,100,200,", u"A01,2,K,300,400,"}));
        write(m_root.folder() / "job/west/site.sim",
              simaFile({u"A01,1,P1,150,250,", u"A01,2,Q,300.01,400,"}));
    }

    static void write(const fs::path& path, const std::string& bytes) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }
    fs::path folder() const { return m_root.folder() / "job"; }
    std::string east() const { return (folder() / "east/site.sim").string(); }
    std::string west() const { return (folder() / "west/site.sim").string(); }

private:
    TempFile m_root{""};
};

TEST_F(TogetherCommand, AFolderFoundIsOneJobWhosePointLinesNameTheirFiles) {
    const auto r = runProcess(MORVANE_CHECK_EXE, {"-r", "--together", folder().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "同一名称\n"
                     "     1  P1             100.000   200.000  east/site.sim  較差 70.711\n"
                     "     1  P1             150.000   250.000  west/site.sim\n"
                     "同一座標値\n"
                     "     2  K              300.000   400.000  east/site.sim  較差 0.010\n"
                     "     2  Q              300.010   400.000  west/site.sim\n"
                     "\n");
    EXPECT_EQ(r.err.rfind("morvane-check: " + east() +
                              " ほか 1 ファイル: CP932, 4 points, 1 "
                              "duplicate name, 1 coincident point",
                          0),
              0u)
        << r.err;
}

// Data names each point's file, as given; a file that fails fails the job,
// and its error names it.
TEST_F(TogetherCommand, DataNamesEachPointsFile) {
    const auto csv =
        runProcess(MORVANE_CHECK_EXE, {"-q", "--together", "--format", "csv", east(), west()});
    EXPECT_EQ(csv.out.substr(0, csv.out.find('\n') + 1),
              "\xEF\xBB\xBF"
              "file,kind,distance,number1,name1,x1,y1,line1,file1,number2,name2,x2,y2,line2,"
              "file2\r\n");
    EXPECT_NE(csv.out.find(",2,K,300,400,5," + east() + ",2,Q,300.01,400,5," + west() + "\r\n"),
              std::string::npos)
        << csv.out;

    write(folder() / "bad.sim", "A01,1,P1,1,2,\r\nA01,2,P2,abc,2,\r\n");
    const std::string bad = (folder() / "bad.sim").string();
    const auto json =
        runProcess(MORVANE_CHECK_EXE, {"-q", "--together", "--format", "json", east(), bad});
    EXPECT_EQ(json.status, 2);
    EXPECT_EQ(json.out, "{\"file\":\"" + east() +
                            " ほか 1 ファイル\",\"error\":{\"number\":null,\"message\":\"A01 "
                            "レコードの X 座標「abc」を数値として読めません。\",\"line\":2,"
                            "\"file\":\"" +
                            bad + "\"}}\n");
    EXPECT_NE(json.err.find(bad + ":2: A01"), std::string::npos) << json.err;
}

// One file as a job prints what it prints alone.
TEST_F(TogetherCommand, OneFileIsAsAlone) {
    const auto alone = runProcess(MORVANE_CHECK_EXE, {"-q", east()});
    const auto job = runProcess(MORVANE_CHECK_EXE, {"-q", "--together", east()});
    EXPECT_EQ(job.out, alone.out);
}

} // namespace
} // namespace morvane
