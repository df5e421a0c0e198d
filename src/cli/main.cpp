#include "cli/CliOptions.h"
#include "cli/DataOutput.h"
#include "cli/Diagnostics.h"
#include "cli/FileOutput.h"
#include "cli/InputFiles.h"
#include "cli/OrderedWork.h"
#include "cli/OutputTargets.h"
#include "cli/StandardStreams.h"
#include "cli/Summary.h"
#include "cli/TerminalSink.h"
#include "core/FileFindings.h"
#include "core/PathText.h"
#include "core/PointTable.h"
#include "core/RunError.h"
#include "core/Text.h"
#include "drawing/DrawingLoader.h"
#include "output/ReportPrint.h"
#include "run/CheckRun.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

using namespace morvane;

namespace {

enum ExitStatus { NoFindings = 0, Findings = 1, Failed = 2 };

// CR LF as LF unless --crlf, in place: a full report is not copied again. A
// CR that ends one piece and the LF that starts the next are a line end too.
std::vector<std::string> lineEnds(std::vector<std::string> pieces, bool crlf) {
    if (crlf)
        return pieces;
    for (std::size_t p = 0; p < pieces.size(); ++p) {
        std::string& text = pieces[p];
        const bool lineFeedNext =
            p + 1 < pieces.size() && !pieces[p + 1].empty() && pieces[p + 1].front() == '\n';
        // Each stretch up to a CR moves down at once.
        std::size_t kept = 0;
        for (std::size_t from = 0;;) {
            const std::size_t cr = text.find('\r', from);
            const std::size_t stop = cr == std::string::npos ? text.size() : cr;
            if (kept != from)
                std::memmove(text.data() + kept, text.data() + from, stop - from);
            kept += stop - from;
            if (cr == std::string::npos)
                break;
            const bool lineFeedAfter = cr + 1 < text.size() ? text[cr + 1] == '\n' : lineFeedNext;
            if (!lineFeedAfter)
                text[kept++] = '\r';
            from = cr + 1;
        }
        text.resize(kept);
    }
    return pieces;
}

std::vector<std::string> resultOf(TerminalSink& sink, const CliOptions& options) {
    if (!options.list)
        return sink.takeResultText();
    std::u16string text;
    for (const auto& item : sink.resultItems())
        text += item + u"\r\n";
    std::vector<std::string> pieces;
    pieces.push_back(toUtf8(text));
    return pieces;
}

// A unit's findings, or the error that stopped it, kept for --format to
// write in file order.
struct CheckedData {
    std::string unit;
    std::optional<FileFindings> findings;
    std::optional<RunError> error;
};

// What checking one file printed, and how it ended; with --format, the data
// of each unit it held.
struct FileOutcome {
    FileOutput output;
    int status = NoFindings;
    std::vector<CheckedData> data;
};

// A checking thread's own point table: it is large, and a run resets it anyway.
struct Checker {
    std::unique_ptr<PointTable> table = std::make_unique<PointTable>();
};

// The PDF and plot writers draw with Qt, whose font handling is not made for
// several threads drawing at once; one PDF or picture at a time.
std::mutex drawingWithQt;

// Where a file's report and picture also go, when --pdf or --plot asked:
// pdf and plot are the same drawing, each set only when its option asked.
struct DrawnOutputs {
    Drawing* pdf = nullptr;
    std::filesystem::path pdfTarget;
    Drawing* plot = nullptr;
    std::filesystem::path plotTarget;
    // Whether --plot named a folder, which alone can take a picture for each
    // sheet of an archive.
    bool plotIntoFolder = false;
};

// The files named on the command line (UTF-8) as paths.
std::vector<std::filesystem::path> pathsOf(const std::vector<std::string>& files) {
    std::vector<std::filesystem::path> paths;
    for (const std::string& file : files)
        paths.push_back(pathFromUtf8(file));
    return paths;
}

// "out/city/maps/a.png" for the sheet "city.zip:maps/a.xml" of a path whose
// own picture would be "out/city.png": the archive's pictures in a folder of
// its name, each named after its member, the member's folders kept (an
// inner archive is a folder of its name too), so no two sheets share a
// picture.
std::filesystem::path unitPicture(const std::filesystem::path& pathPicture, const std::string& path,
                                  const std::string& unit) {
    std::filesystem::path picture = pathPicture.parent_path() / pathPicture.stem();
    std::string_view members =
        std::string_view(unit).substr(std::min(unit.size(), path.size() + 1));
    for (std::size_t colon; (colon = members.find(':')) != std::string_view::npos;) {
        picture /= pathFromUtf8(members.substr(0, colon)).replace_extension();
        members.remove_prefix(colon + 1);
    }
    return (picture / pathFromUtf8(members)).replace_extension(".png");
}

// Prints what the run gives back for each unit of one path (or of the one
// job of --together, whose path is its name): the report (or the data), the
// picture and PDF, the summary line, and the exit status.
class FilePresenter {
public:
    FilePresenter(const CliOptions& options, const std::string& path, const DrawnOutputs& drawn)
        : m_options(options), m_path(path), m_drawn(drawn), m_sink(options, m_outcome.output),
          m_asData(options.format != OutputFormat::Report),
          // Files found in folders are named even when there is only one; a
          // job is one report, named by its summary.
          m_named(!options.together && (options.files.size() > 1 || options.recursive)) {}

    FileOutcome check(PointTable& table) {
        UnitHooks hooks;
        hooks.listed = [this](bool several) { listed(several); };
        hooks.starting = [this](const CheckedUnit& unit) { starting(unit); };
        hooks.done = [this](const PointTable& t, const CheckedUnit& unit) { done(t, unit); };
        if (m_options.together)
            checkJob(table, m_sink, pathsOf(m_options.files), ResultTextLayout::PerUnit, hooks);
        else
            checkPath(table, m_sink, pathFromUtf8(m_path), ResultTextLayout::PerUnit, hooks);
        if (m_severalInOnePdf)
            writeJoinedPdf();
        return std::move(m_outcome);
    }

private:
    void listed(bool several) {
        // A picture for each sheet needs a folder to hold them.
        if (m_drawn.plot && several && !m_drawn.plotIntoFolder)
            throw RunError::withoutNumber(
                u"検査するファイルが複数ある ZIP ファイルの図はファイルごとに描くため、"
                u"--plot にはフォルダーを指定してください。");
        m_severalPictures = m_drawn.plot && several;
        // One PDF for the archive, its sheets in turn, as the window prints them.
        m_severalInOnePdf = m_drawn.pdf && several;
    }

    void starting(const CheckedUnit& unit) {
        // Data names its file in every row or object.
        if ((m_named || unit.ofSeveral()) && !m_asData)
            m_outcome.output.out("==> " + unit.name.string() + " <==\n");
        m_sink.startUnit(unit.name.string());
    }

    void done(const PointTable& table, const CheckedUnit& unit) {
        const std::string name = unit.name.string();
        if (m_severalInOnePdf)
            m_kept.push_back(keepUnitReport(table, unit, false));
        if (!unit.summary) {
            m_outcome.status = Failed;
            if (m_asData)
                m_outcome.data.push_back({name, std::nullopt, unit.error});
            return;
        }
        const RunSummary& summary = *unit.summary;
        // Copied out: the table is this thread's, and the next unit resets it.
        if (m_asData)
            m_outcome.data.push_back({name, fileFindings(table, summary), std::nullopt});
        else
            m_outcome.output.outMoving(lineEnds(resultOf(m_sink, m_options), m_options.crlf));
        try {
            if (m_drawn.pdf && !m_severalInOnePdf) {
                std::lock_guard lock(drawingWithQt);
                m_drawn.pdf->writePdf(table, summary, m_sink, m_drawn.pdfTarget);
            }
            if (m_drawn.plot) {
                std::filesystem::path target = m_drawn.plotTarget;
                if (m_severalPictures) {
                    target = unitPicture(target, m_path, name);
                    std::filesystem::create_directories(target.parent_path());
                }
                std::lock_guard lock(drawingWithQt);
                m_drawn.plot->writePlot(table, summary, m_options.plotWidth, m_options.plotHeight,
                                        target);
            }
        } catch (const std::exception& e) {
            m_outcome.output.err(diagnosticLine(name, e.what()));
            m_outcome.status = Failed;
            return;
        }
        if (!m_options.quiet)
            m_outcome.output.err(diagnosticLine(summaryLine(summary)));
        m_outcome.status =
            std::max<int>(m_outcome.status, table.nextReportLine > 1 ? Findings : NoFindings);
    }

    void writeJoinedPdf() {
        std::vector<ReportToPrint> reports;
        for (const UnitReport& report : m_kept)
            reports.push_back({ReportLines(report.lines), report.summary});
        try {
            m_sink.startUnit(m_path);
            std::lock_guard lock(drawingWithQt);
            m_drawn.pdf->writePdf(reports, m_sink, m_drawn.pdfTarget);
        } catch (const std::exception& e) {
            m_outcome.output.err(diagnosticLine(m_path, e.what()));
            m_outcome.status = Failed;
        }
    }

    const CliOptions& m_options;
    const std::string& m_path;
    const DrawnOutputs& m_drawn;
    FileOutcome m_outcome;
    TerminalSink m_sink;
    const bool m_asData;
    const bool m_named;
    bool m_severalInOnePdf = false;
    bool m_severalPictures = false;
    // Each unit's report, for one PDF of an archive of several.
    std::vector<UnitReport> m_kept;
};

// Checks every file on options.jobs threads and prints the outcomes in the
// order of the files; returns the worst status.
int checkFiles(const CliOptions& options, const std::vector<std::filesystem::path>& pdfFiles,
               const std::vector<std::filesystem::path>& plotFiles) {
    // Qt is loaded here, on this thread, only when a file is to be drawn.
    std::unique_ptr<Drawing> drawing;
    if (!pdfFiles.empty() || !plotFiles.empty())
        drawing = loadDrawing(pdfFiles.empty()    ? "--plot"
                              : plotFiles.empty() ? "--pdf"
                                                  : "--pdf and --plot");
    Drawing* const pdf = pdfFiles.empty() ? nullptr : drawing.get();
    Drawing* const plot = plotFiles.empty() ? nullptr : drawing.get();
    std::error_code notFolder;
    const bool plotIntoFolder =
        plot && std::filesystem::is_directory(pathFromUtf8(options.plot), notFolder);
    std::unique_ptr<DataOutput> dataOutput;
    if (options.format != OutputFormat::Report)
        dataOutput = std::make_unique<DataOutput>(options, stdout);
    int status = NoFindings;
    // A job is one check of all the files, named as its summary names it.
    const std::string job = options.together ? jobName(pathsOf(options.files)).string() : "";
    runInOrder<Checker>(
        options.together ? std::min<std::size_t>(1, options.files.size()) : options.files.size(),
        options.jobs,
        [&](std::size_t i, Checker& checker) {
            const std::string& path = options.together ? job : options.files[i];
            DrawnOutputs drawn;
            if (pdf)
                drawn = {pdf, pdfFiles[i], nullptr, {}};
            if (plot) {
                drawn.plot = plot;
                drawn.plotTarget = plotFiles[i];
                drawn.plotIntoFolder = plotIntoFolder;
            }
            try {
                return FilePresenter(options, path, drawn).check(*checker.table);
            } catch (const std::exception& e) {
                // Out of memory, say: this file fails, the others go on.
                FileOutcome failed;
                failed.output.err(diagnosticLine(path, e.what()));
                failed.status = Failed;
                if (options.format != OutputFormat::Report)
                    failed.data.push_back(
                        {path, std::nullopt, RunError::withoutNumber(toUtf16(e.what()))});
                return failed;
            }
        },
        [&](std::size_t, FileOutcome outcome) {
            // The data goes out here, in file order, where one writer joins
            // the files into one CSV table or one collection.
            for (const CheckedData& checked : outcome.data) {
                if (checked.findings) {
                    try {
                        dataOutput->fileChecked(*checked.findings);
                    } catch (const ProjectionError& e) {
                        // A point of a job is of one of its files.
                        const std::string file =
                            e.file().empty() ? checked.unit : e.file().string();
                        const std::string where =
                            e.line() > 0 ? file + ":" + std::to_string(e.line()) : file;
                        outcome.output.err(diagnosticLine(where, e.what()));
                        outcome.status = Failed;
                    }
                } else if (checked.error) {
                    dataOutput->fileFailed(pathFromUtf8(checked.unit), *checked.error);
                }
            }
            outcome.output.writeTo(stdout, stderr);
            status = std::max(status, outcome.status);
        });
    if (dataOutput)
        dataOutput->finish();
    return status;
}

} // namespace

int main(int argc, char** argv) {
    writeStandardStreamsAsBytes();
#if defined(__GLIBC__)
    // Large blocks always straight from the system and back to it when
    // freed: a run's tables come and go in steps of megabytes, and glibc's
    // moving threshold would keep freed ones in the heap, adding to the peak.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
    CliOptions options;
    std::vector<std::filesystem::path> pdfFiles;
    std::vector<std::filesystem::path> plotFiles;
    int status = NoFindings;
    try {
        options = parseCliOptions(std::vector<std::string>(argv + 1, argv + argc));
        if (!options.help && !options.version) {
            // Before any file is read: a band read as some other band would
            // check every file wrongly.
            if (const auto refusal = refusedBand(options.lower, options.tolerance)) {
                std::fputs(diagnosticLine(toUtf8(refusal->message)).c_str(), stderr);
                return Failed;
            }
            InputFiles inputs = inputFiles(options.files, options.recursive);
            for (const auto& error : inputs.errors) {
                std::fputs(diagnosticLine(error).c_str(), stderr);
                status = Failed;
            }
            for (const auto& note : inputs.notes)
                std::fputs(diagnosticLine(note).c_str(), stderr);
            options.files = std::move(inputs.files);
            refuseGeoJsonWithoutZone(options);
            pdfFiles = pdfTargets(options);
            plotFiles = plotTargets(options);
        }
    } catch (const UsageError& e) {
        std::fprintf(stderr, "morvane-check: %s\nTry 'morvane-check --help'.\n", e.what());
        return Failed;
    }
    if (options.help) {
        std::fputs(cliUsage().c_str(), stdout);
        return NoFindings;
    }
    if (options.version) {
        std::puts("morvane-check " MORVANE_VERSION);
        return NoFindings;
    }

    try {
        status = std::max(status, checkFiles(options, pdfFiles, plotFiles));
        if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
            std::perror("morvane-check: writing the report");
            return Failed;
        }
        return status;
    } catch (const std::exception& e) {
        std::fputs(diagnosticLine(e.what()).c_str(), stderr);
        return Failed;
    }
}
