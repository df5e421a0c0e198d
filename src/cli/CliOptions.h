#pragma once

#include "run/UiSink.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace morvane {

struct CliOptions {
    // The texts of the two window fields, read by the same rule as there.
    std::u16string lower = u"0";
    std::u16string tolerance = u"0.05";
    // The answer to "too many findings": Yes stops, as Enter does in the window.
    Answer onTooMany = Answer::Yes;
    bool list = false;
    bool crlf = false;
    bool help = false;
    bool version = false;
    std::vector<std::string> files;
};

// A command line that cannot be used; the text says why.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

CliOptions parseCliOptions(const std::vector<std::string>& args);

extern const char* const CliUsage;

} // namespace morvane
