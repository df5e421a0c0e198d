#include "support/Process.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace morvane {
namespace {

namespace fs = std::filesystem;
using namespace test;

const std::string Example = std::string(MORVANE_EXAMPLES) + "/sample.sim";

ProcessResult check(const fs::path& program, std::vector<std::string> args) {
    args.insert(args.begin(), "--quiet");
    return runProcess(program.string(), args, {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"});
}

// morvane-check copied into a folder of its own, where the module is looked
// for at the path it has from the built program.
class DrawingModule : public testing::Test {
protected:
    DrawingModule()
        : m_program(m_folder.folder() / "bin" / "morvane-check"),
          m_module((m_program.parent_path() /
                    fs::path(MORVANE_DRAWING_MODULE)
                        .lexically_relative(fs::path(MORVANE_CHECK_EXE).parent_path()))
                       .lexically_normal()) {
        fs::create_directories(m_program.parent_path());
        fs::copy_file(MORVANE_CHECK_EXE, m_program);
    }

    TempFile m_folder{"", "unused"};
    const fs::path m_program;
    const fs::path m_module;
};

// Whatever keeps the module from loading, the options that need it fail as
// an option the build cannot serve does, naming the module, before any file
// is checked; a check that draws nothing still runs.
TEST_F(DrawingModule, AModuleThatCannotLoadIsNamedAndOnlyDrawingFails) {
    const fs::path pdf = m_folder.folder() / "report.pdf";
    const fs::path png = m_folder.folder() / "plot.png";
    struct Case {
        const char* what;
        std::vector<std::string> args;
        std::string says;
    };
    const Case cases[] = {
        {"--pdf", {"--pdf", pdf.string(), Example}, "--pdf: "},
        {"--plot", {"--plot", png.string(), Example}, "--plot: "},
        {"both", {"--plot", png.string(), "--pdf", pdf.string(), Example}, "--pdf and --plot: "},
    };
    const auto expectRefused = [&] {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            const auto r = check(m_program, c.args);
            EXPECT_EQ(r.status, 2);
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.err.rfind("morvane-check: " + c.says + "cannot load the drawing module " +
                                      m_module.string() + " (",
                                  0),
                      0u)
                << r.err;
            EXPECT_FALSE(fs::exists(pdf));
            EXPECT_FALSE(fs::exists(png));
        }
        const auto plain = check(m_program, {Example});
        EXPECT_EQ(plain.status, 1) << plain.err;
        EXPECT_NE(plain.out, "");
    };
    {
        SCOPED_TRACE("missing");
        expectRefused();
    }
    {
        SCOPED_TRACE("not a shared object");
        fs::create_directories(m_module.parent_path());
        std::ofstream(m_module) << "not a module\n";
        expectRefused();
    }
}

// A link on PATH to the installed program: the module is found beside the
// program the link leads to.
TEST_F(DrawingModule, ALinkToTheProgramDrawsThroughTheProgramsModule) {
    const fs::path link = m_folder.folder() / "morvane-check-link";
    fs::create_symlink(MORVANE_CHECK_EXE, link);
    const fs::path png = m_folder.folder() / "plot.png";

    const auto r = check(link, {"--plot", png.string(), "--plot-size", "320x240", Example});

    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readFile(png).substr(1, 3), "PNG");
}

} // namespace
} // namespace morvane
