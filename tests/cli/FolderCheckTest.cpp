#include "support/Process.h"
#include "support/TestFiles.h"
#include "support/TestPoints.h"

#include <algorithm>
#include <fstream>

#include <gtest/gtest.h>

namespace morvane {
namespace {

namespace fs = std::filesystem;
using test::runProcess;
using test::simaFile;
using test::TempFile;

test::ProcessResult check(std::vector<std::string> args) {
    args.insert(args.begin(), "--quiet");
    return runProcess(MORVANE_CHECK_EXE, args);
}

void write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// The files, in order, whose reports a run printed.
std::vector<std::string> headings(const std::string& out) {
    std::vector<std::string> files;
    for (std::size_t at = out.find("==> "); at != std::string::npos; at = out.find("\n==> ", at)) {
        at = out[at] == '\n' ? at + 5 : at + 4;
        files.push_back(out.substr(at, out.find(" <==", at) - at));
    }
    return files;
}

TEST(FolderCheck, FindsEveryCoordinateFileBelowAFolderInPathOrder) {
    TempFile anchor("");
    const fs::path root = anchor.folder() / "project";
    const std::string clean = simaFile({u"A01,1,P1,100,200,"});
    for (const char* name : {"b.SIM", "a.sim", "sub/c.Dat", "sub-x/e.sct", "sub/deep/f.sim",
                             "a.txt", "sim", "z.sim.bak", "notes/readme"})
        write(root / name, clean);
    // A folder named like a file is still a folder, and a link back up is not followed.
    fs::create_directories(root / "g.sim");
    fs::create_directory_symlink(root, root / "sub" / "loop");

    const auto r = check({"-r", root.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> expected = {
        (root / "a.sim").string(), (root / "b.SIM").string(), (root / "sub/c.Dat").string(),
        (root / "sub/deep/f.sim").string(), (root / "sub-x/e.sct").string()};
    EXPECT_EQ(headings(r.out), expected);
    EXPECT_EQ(r.err, "");

    // Files and folders mix; a single file found is still named.
    const auto mixed = check({"-r", (root / "sub-x").string(), (root / "a.sim").string()});
    EXPECT_EQ(headings(mixed.out), (std::vector<std::string>{(root / "sub-x/e.sct").string(),
                                                             (root / "a.sim").string()}));
}

TEST(FolderCheck, LinksAreFollowedOnlyInsideTheFolder) {
    // Points that would give findings, were they read.
    TempFile outside(simaFile({u"A01,1,P1,100,200,", u"A01,2,P1,100,200,"}), "outside.sim");
    const fs::path base = outside.folder();
    const fs::path root = base / "site";
    const std::string clean = simaFile({u"A01,1,P1,100,200,"});
    write(root / "a.sim", clean);
    write(root / "sub/b.sim", clean);
    // A sibling whose name extends the folder's is still outside it.
    write(base / "site-old/c.sim", clean);
    fs::create_symlink(outside.path(), root / "passwd.sim");
    fs::create_symlink("../../site-old/c.sim", root / "sub/relative.sim");
    fs::create_directory_symlink(base, root / "up");
    fs::create_symlink("../a.sim", root / "sub/again.sim");
    // Named through a link, the folder is still judged by where it lies.
    fs::create_directory_symlink(root, base / "link-to-site");

    for (const fs::path& given : {root, base / "link-to-site"}) {
        SCOPED_TRACE(given.string());
        const auto r = check({"-r", given.string()});
        // The notes alone fail nothing: the folder itself was read in full.
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(headings(r.out), (std::vector<std::string>{(given / "a.sim").string(),
                                                             (given / "sub/again.sim").string(),
                                                             (given / "sub/b.sim").string()}));
        for (const char* skipped : {"passwd.sim", "up", "sub/relative.sim"})
            EXPECT_NE(r.err.find("morvane-check: " + (given / skipped).string() +
                                 ": not read: a symbolic link that leads out of " + given.string() +
                                 "\n"),
                      std::string::npos)
                << skipped << "\n"
                << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 3) << r.err;
    }
}

TEST(FolderCheck, FolderWithoutCoordinateFilesIsAnErrorButTheOthersAreChecked) {
    TempFile file(simaFile({u"A01,1,P1,100,200,", u"A01,2,P1,300,200,"}));
    const fs::path empty = file.folder() / "empty";
    fs::create_directories(empty);
    const auto r = check({"-r", empty.string(), file.path().string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "morvane-check: " + empty.string() +
                         ": no .sim, .dat, .sct, .xml or .zip file below this folder\n");
    EXPECT_EQ(headings(r.out), std::vector<std::string>{file.path().string()});
    // Without -r a folder is no file: error 75, as ever.
    EXPECT_EQ(check({empty.string()}).status, 2);
}

TEST(FolderCheck, EveryJobCountPrintsTheSameBytes) {
    // Clean files, findings of both kinds, errors and a file with more
    // findings than the question allows, so that outcomes differ in size and
    // time and any reordering shows.
    TempFile anchor("");
    const fs::path root = anchor.folder() / "delivery";
    for (int i = 0; i < 36; ++i) {
        const std::string name = "f" + std::to_string(100 + i) + ".sim";
        std::string bytes;
        switch (i % 6) {
        case 0:
            bytes = simaFile({u"A01,1,P1,100,200,"});
            break;
        case 1:
            bytes = simaFile({u"A01,1,P1,100,200,", u"A01,2,P1,100.01,200,"});
            break;
        case 2:
            bytes = "A01,1,P1,100";
            break;
        case 3:
            bytes = "no records here\r\n";
            break;
        case 4:
            bytes = test::simaFileOf(test::findingPairs(1100 + i, 3));
            break;
        default:
            bytes = test::simaFileOf(test::separatePoints(2000 + i));
            break;
        }
        write(root / name, bytes);
    }
    const auto one = runProcess(MORVANE_CHECK_EXE, {"-r", "-j", "1", root.string()});
    EXPECT_EQ(one.status, 2);
    EXPECT_EQ(headings(one.out).size(), 36u);
    for (const std::vector<std::string>& jobs :
         {std::vector<std::string>{"-j", "2"}, {"-j5"}, {"--jobs=16"}, {}}) {
        std::vector<std::string> args = jobs;
        args.insert(args.end(), {"-r", root.string()});
        const auto r = runProcess(MORVANE_CHECK_EXE, args);
        EXPECT_EQ(r.out, one.out) << jobs.size();
        EXPECT_EQ(r.err, one.err);
        EXPECT_EQ(r.status, one.status);
    }
}

TEST(FolderCheck, JobCountMustBeAPositiveNumber) {
    for (const char* jobs : {"0", "-1", "two", "2x", "100000"}) {
        const auto r = check({"-j", jobs, "x.sim"});
        EXPECT_EQ(r.status, 2) << jobs;
        EXPECT_NE(r.err.find("-j takes a number"), std::string::npos) << r.err;
    }
    EXPECT_NE(check({"-r"}).err.find("no folder given"), std::string::npos);
}

} // namespace
} // namespace morvane
