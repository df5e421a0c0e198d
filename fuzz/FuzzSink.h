#pragma once

#include "support/CountingUiSink.h"

#include <cstdint>
#include <string>

namespace morvane::fuzz {

// Answers and field texts come from the input.
class FuzzSink : public CountingUiSink {
public:
    // Bit i answers question i: 1 is Yes.
    std::uint32_t answers = 0;
    std::int32_t questions = 0;

    Answer askYesNo(const std::u16string&) override {
        return (answers >> (questions++ % 32)) & 1 ? Answer::Yes : Answer::No;
    }
};

// Settings drawn from the input's bytes, so that the same input always runs
// the same way and a mutation can change them.
inline std::uint32_t mix(const std::uint8_t* data, std::size_t size) {
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < size; ++i)
        h = (h ^ data[i]) * 16777619u;
    return h;
}

inline const char16_t* const ToleranceTexts[] = {
    u"0.05", u"0", u"9.99", u"0.5", u"1.5mm", u"-1", u"10", u"abc", u"&HFFFF", u"1e400", u"nan",
};
inline const char16_t* const LowerTexts[] = {
    u"0", u"0.001", u"0.3", u"-5", u"20", u"1D-3", u"inf", u"1e400",
};

} // namespace morvane::fuzz
