#include "web/WebSink.h"

#include "core/RunError.h"
#include "web/PageEvents.h"

namespace morvane {

WebSink::WebSink(std::u16string lower, std::u16string tolerance, CheckChoice checks,
                 std::vector<Answer> answers)
    : m_lower(std::move(lower)), m_tolerance(std::move(tolerance)), m_checks(checks),
      m_answers(std::move(answers)) {}

void WebSink::setToleranceText(const std::u16string& text) {
    m_tolerance = text;
    tellPage(PageEvent::ToleranceSet, text);
}

void WebSink::refuseBand(BandField field, const std::u16string& message) {
    tellPage(field == BandField::LowerBound ? PageEvent::RefusedLower : PageEvent::RefusedTolerance,
             message);
}

void WebSink::setStatusText(const std::u16string& text) {
    tellPage(PageEvent::Status, text);
}

Answer WebSink::askYesNo(const std::u16string& prompt) {
    const auto index = static_cast<std::size_t>(m_asked++);
    const Answer answer = index < m_answers.size() ? m_answers[index] : Answer::Yes;
    tellPage(PageEvent::Question, prompt, answer == Answer::Yes ? u"Yes" : u"No");
    return answer;
}

void WebSink::showMessage(const std::u16string& text) {
    tellPage(PageEvent::Message, text);
}

void WebSink::showError(const std::u16string& message, const ErrorPlace& place) {
    tellPage(PageEvent::Error, message, errorPlaceText(place));
}

} // namespace morvane
