#include "print/QtOutputFile.h"

#include "support/TestFiles.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace morvane {
namespace {

namespace fs = std::filesystem;

std::set<std::string> filesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.insert(e.path().filename().string());
    return names;
}

void save(const fs::path& target, const std::string& bytes) {
    QtOutputFile file(target, "the CSV file");
    file.device().write(bytes.data(), static_cast<qint64>(bytes.size()));
    file.commit();
}

// The window saves its PDF and CSV through this writer, with no command line
// to look at the target first.
TEST(QtOutputFile, ReplacesOnlyRegularFilesAndWritesThroughLinks) {
    QTemporaryDir dir;
    const fs::path folder(dir.path().toStdString());
    fs::create_directory(folder / "shared");
    std::ofstream(folder / "shared/report.csv") << "older";
    fs::create_symlink("shared/report.csv", folder / "report.csv");
    save(folder / "report.csv", "newer");
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(folder / "report.csv")));
    EXPECT_EQ(test::readFile(folder / "shared/report.csv"), "newer");
    EXPECT_EQ(filesIn(folder / "shared"), std::set<std::string>{"report.csv"});

    ASSERT_EQ(::mkfifo((folder / "pipe.csv").c_str(), 0600), 0);
    fs::create_symlink("pipe.csv", folder / "to-pipe.csv");
    fs::create_symlink("gone.csv", folder / "broken.csv");
    for (const char* name : {"pipe.csv", "to-pipe.csv", "broken.csv", "shared"}) {
        const fs::path target = folder / name;
        try {
            save(target, "refused");
            ADD_FAILURE() << name << " was written";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()).find("cannot write the CSV file " + target.string() +
                                                 ": it is "),
                      0u)
                << e.what();
        }
    }
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(folder / "pipe.csv")));
    EXPECT_EQ(filesIn(folder), (std::set<std::string>{"broken.csv", "pipe.csv", "report.csv",
                                                      "shared", "to-pipe.csv"}));

    // What takes the name while the output is drawn is looked at again.
    QtOutputFile late(folder / "late.csv", "the CSV file");
    ASSERT_EQ(::mkfifo((folder / "late.csv").c_str(), 0600), 0);
    EXPECT_THROW(late.commit(), std::runtime_error);
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(folder / "late.csv")));
}

} // namespace
} // namespace morvane
