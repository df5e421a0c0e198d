#pragma once

#include <deque>
#include <utility>

namespace morvane::test {

// The next of what a test scripted for a run (files to choose, answers to
// questions), or `otherwise` once the script is used up.
template <typename T> T takeNext(std::deque<T>& script, T otherwise) {
    if (script.empty())
        return otherwise;
    T next = std::move(script.front());
    script.pop_front();
    return next;
}

} // namespace morvane::test
