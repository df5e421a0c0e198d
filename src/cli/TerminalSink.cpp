#include "cli/TerminalSink.h"

#include "cli/Diagnostics.h"
#include "core/Text.h"

namespace morvane {

TerminalSink::TerminalSink(const CliOptions& options, FileOutput& output)
    : m_givenTolerance(options.tolerance), m_tolerance(options.tolerance), m_lower(options.lower),
      m_answer(options.onTooMany.value_or(options.format == OutputFormat::Report ? Answer::Yes
                                                                                 : Answer::No)),
      m_encoding(options.encoding), m_checks(options.checks), m_output(output),
      m_keepItems(options.list) {}

void TerminalSink::startUnit(const std::string& path) {
    m_path = path;
    m_tolerance = m_givenTolerance;
}

void TerminalSink::clearResultList() {
    m_items.clear();
    m_itemCount = 0;
}

namespace {
// A piece of the result text grows to about this many bytes before the next
// one starts; the run adds a long report in pieces of about this size.
constexpr std::size_t ResultPieceBytes = std::size_t{1} << 20;
} // namespace

std::u16string TerminalSink::resultText() {
    std::u16string text;
    for (const std::string& piece : m_resultText)
        text += toUtf16(piece);
    return text;
}

void TerminalSink::setResultText(const std::u16string& text) {
    m_resultText.clear();
    appendResultText(text);
}

void TerminalSink::appendResultText(const std::u16string& text) {
    if (text.empty())
        return;
    if (m_resultText.empty() || m_resultText.back().size() >= ResultPieceBytes)
        m_resultText.emplace_back();
    appendText(m_resultText.back(), text);
}

void TerminalSink::appendResultTextUtf8(std::string text) {
    if (text.empty())
        return;
    // A piece of a long report is kept as it comes.
    if (m_resultText.empty() || m_resultText.back().size() >= ResultPieceBytes)
        m_resultText.push_back(std::move(text));
    else
        m_resultText.back() += text;
}

void TerminalSink::addResultItem(const std::u16string& text) {
    ++m_itemCount;
    if (m_keepItems)
        m_items.push_back(text);
}

void TerminalSink::say(const std::u16string& text, std::int32_t line, const std::string& file) {
    // One line per message: the window's line breaks become single spaces.
    std::u16string oneLine;
    for (char16_t c : text) {
        const bool isBreak = c == u'\r' || c == u'\n';
        if (!isBreak)
            oneLine += c;
        else if (!oneLine.empty() && oneLine.back() != u' ')
            oneLine += u' ';
    }
    // "FILE:LINE: ", as compilers point at a line.
    const std::string& named = file.empty() ? m_path : file;
    const std::string where = line > 0 ? named + ":" + std::to_string(line) : named;
    m_output.err(diagnosticLine(where, toUtf8(oneLine)));
}

void TerminalSink::setToleranceText(const std::u16string& text) {
    say(u"tolerance \"" + m_tolerance + u"\" is outside 0 to 9.99; using \"" + text + u"\"");
    m_tolerance = text;
}

Answer TerminalSink::askYesNo(const std::u16string& prompt) {
    say(prompt + (m_answer == Answer::Yes ? u" はい" : u" いいえ"));
    return m_answer;
}

void TerminalSink::showMessage(const std::u16string& text) {
    say(text);
}

void TerminalSink::showError(const std::u16string& message, const ErrorPlace& place) {
    // A job's error names the file of the job that caused it.
    say(message, place.line, place.file.string());
}

} // namespace morvane
