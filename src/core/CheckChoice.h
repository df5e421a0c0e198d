#pragma once

namespace morvane {

// Which checks a run makes. The defaults are the two checks every run has
// always made, so a front end that offers no choice gets the report it always
// had; the point-number check is made only when the user asks for it.
struct CheckChoice {
    bool duplicateNames = true;
    bool coincidentPoints = true;
    bool duplicateNumbers = false;

    friend bool operator==(const CheckChoice&, const CheckChoice&) = default;
};

} // namespace morvane
