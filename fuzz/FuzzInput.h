#pragma once

#include "support/CountingUiSink.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace morvane::fuzz {

// Ends the run as a crash, so that libFuzzer keeps the input.
[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

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

// The window's field texts, answers and checks from a hash's bits: the
// tolerance from all of them, the lower bound from those above bit 3, bits 8
// to 10 answer the questions a run can ask (each check asks at most once), 1
// for Yes, bit 11 adds the point-number check and bit 12 compares names as
// they read.
inline void fillFromBits(CountingUiSink& ui, std::uint32_t bits) {
    const auto answer = [](std::uint32_t bit) { return bit & 1 ? Answer::Yes : Answer::No; };
    ui.toleranceField = ToleranceTexts[bits % std::size(ToleranceTexts)];
    ui.lowerField = LowerTexts[(bits >> 4) % std::size(LowerTexts)];
    ui.answers = {answer(bits >> 8), answer(bits >> 9), answer(bits >> 10)};
    ui.checks.duplicateNumbers = (bits >> 11) & 1;
    ui.checks.names = (bits >> 12) & 1 ? NameComparison::LookAlike : NameComparison::AsWritten;
}

} // namespace morvane::fuzz
