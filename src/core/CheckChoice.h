#pragma once

namespace morvane {

// How the name check compares names: as written, code unit by code unit, or
// as they read, whatever the width of their characters ("道5" and "道５",
// "ﾃｸﾞｲ" and "テグイ" alike).
enum class NameComparison { AsWritten, LookAlike };

// Which checks a run makes. The defaults are the two checks every run has
// always made, so a front end that offers no choice gets the report it always
// had; the point-number check is made only when the user asks for it.
struct CheckChoice {
    bool duplicateNames = true;
    bool coincidentPoints = true;
    bool duplicateNumbers = false;
    NameComparison names = NameComparison::AsWritten;

    friend bool operator==(const CheckChoice&, const CheckChoice&) = default;
};

} // namespace morvane
