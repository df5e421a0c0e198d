#pragma once

#include <string>

namespace morvane {

// What the worker tells the page while a run works; each is a message the
// page receives at once.
enum class PageEvent {
    Status,           // the status line's text
    RefusedLower,     // the lower bound's field cannot be read: the message
    RefusedTolerance, // the tolerance's field cannot be read: the message
    ToleranceSet,     // the run put this text into the tolerance's field
    Message,          // a notice with an OK button
    Error,            // an error that stopped a unit: its text and where
    Question,         // a Yes/No question, and the answer given
    UnitStarting,     // the next unit of a path: its name
};

void tellPage(PageEvent event, const std::u16string& text, const std::u16string& detail = {});

} // namespace morvane
