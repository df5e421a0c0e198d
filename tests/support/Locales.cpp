#include "support/Locales.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace morvane::test {

namespace {

// Removed when the test process ends.
class GeneratedLocales {
public:
    ~GeneratedLocales() {
        std::error_code ignored;
        if (!m_folder.empty())
            std::filesystem::remove_all(m_folder, ignored);
    }

    const std::filesystem::path& folder() {
        if (m_folder.empty()) {
            std::string pattern =
                (std::filesystem::temp_directory_path() / "morvane-locales-XXXXXX").string();
            if (mkdtemp(pattern.data()))
                m_folder = pattern;
        }
        return m_folder;
    }

private:
    std::filesystem::path m_folder;
};

GeneratedLocales generated;

bool available(const std::string& name) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    const bool ok = std::setlocale(LC_ALL, name.c_str()) != nullptr;
    std::setlocale(LC_ALL, before.c_str());
    return ok;
}

} // namespace

bool ensureNumberLocales(std::string& why) {
    bool all = true;
    for (const char* name : NumberLocales)
        all = all && available(name);
    if (all)
        return true;
    const std::filesystem::path& folder = generated.folder();
    if (folder.empty()) {
        why = "cannot make a folder for generated locales";
        return false;
    }
    // All of them, not only the missing ones: with LOCPATH set, glibc no
    // longer looks in the system's locale archive.
    for (const std::string name : NumberLocales) {
        if (name == "C")
            continue;
        // "ps_AF.UTF-8" is made from the definition ps_AF and the charmap UTF-8.
        const std::size_t dot = name.find('.');
        const std::string command = "localedef -i " + name.substr(0, dot) + " -f " +
                                    name.substr(dot + 1) + " '" + (folder / name).string() +
                                    "' >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        // localedef warns (exit 1) about harmless details of some definitions.
        if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) > 1) {
            why = "localedef could not generate " + name +
                  " (Debian's locales package holds the definitions)";
            return false;
        }
    }
    setenv("LOCPATH", folder.c_str(), 1);
    for (const char* name : NumberLocales)
        if (!available(name)) {
            why = std::string("the generated ") + name + " does not load";
            return false;
        }
    return true;
}

ScopedLocale::ScopedLocale(const char* name) : m_active(std::setlocale(LC_ALL, name) != nullptr) {}

ScopedLocale::~ScopedLocale() {
    std::setlocale(LC_ALL, "C");
}

} // namespace morvane::test
