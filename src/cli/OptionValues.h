#pragma once

#include "core/CheckChoice.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace morvane {

// A command line that cannot be used; the text says why.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A whole decimal number from min to max and nothing else; nothing otherwise.
std::optional<std::int32_t> wholeNumberIn(std::string_view text, std::int32_t min,
                                          std::int32_t max);

// -j: files checked at once, 1 to 1024. Anything else is a UsageError.
std::size_t jobCount(const std::string& text);

// --zone: a plane rectangular zone, 1 to 19. Anything else is a UsageError.
std::int32_t planeZone(const std::string& text);

// --plot-size "WxH": width and height in pixels, each 64 to 8000. Anything
// else is a UsageError.
std::pair<std::int32_t, std::int32_t> plotSize(const std::string& text);

// --check: the checks to make, named by "names", "coincident" and "numbers"
// separated by commas, each at least once. Anything else is a UsageError.
CheckChoice checkList(const std::string& text);

template <typename Value> struct NamedValue {
    const char* name;
    Value value;
};

// The value an option's word names; a UsageError listing the words
// otherwise: '--format takes "report", "csv" or "json", not "xml"'.
template <typename Value, std::size_t Count>
Value namedValue(const std::string& option, const std::string& word,
                 const NamedValue<Value> (&names)[Count]) {
    std::string words;
    for (std::size_t i = 0; i < Count; ++i) {
        if (word == names[i].name)
            return names[i].value;
        words += i == 0 ? "" : i + 1 == Count ? " or " : ", ";
        words += std::string("\"") + names[i].name + "\"";
    }
    throw UsageError(option + " takes " + words + ", not \"" + word + "\"");
}

} // namespace morvane
