#pragma once

#include <string>

namespace morvane::test {

// Locales whose number conventions differ from "C": a comma for the decimal
// point, and a separator of more than one byte (U+066B).
inline constexpr const char* NumberLocales[] = {"C", "de_DE.UTF-8", "ps_AF.UTF-8"};

// Makes NumberLocales available to setlocale and to child processes: where
// the system lacks one, they are generated with localedef into a folder of
// this test process, and LOCPATH points there. False, with the reason, when
// that fails.
bool ensureNumberLocales(std::string& why);

// Sets LC_ALL for its lifetime, and "C" again afterwards.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name);
    ~ScopedLocale();
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    bool active() const { return m_active; }

private:
    bool m_active;
};

} // namespace morvane::test
