#include "core/UnitName.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

// The name a person reads keeps every member's path, loses only the file's
// folder, and is never fooled by a colon that does not follow a ZIP.
TEST(UnitName, DropsTheFoldersOfTheFileOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"/data/site.sim", "site.sim"},
        {"site.sim", "site.sim"},
        {"/data/city.zip:maps/a.xml", "city.zip:maps/a.xml"},
        {"/data/city.zip:a.xml", "city.zip:a.xml"},
        {"/data/CITY.ZIP:maps/a.xml", "CITY.ZIP:maps/a.xml"},
        {"/data/city.zip:sheet.zip:inner/a.xml", "city.zip:sheet.zip:inner/a.xml"},
        {"rel/dir/city.zip:a.xml", "city.zip:a.xml"},
        {"/odd:folder/site.sim", "site.sim"},
        {"/data/city.zip", "city.zip"},
        {"/data/city.zip:", "city.zip:"},
    };
    for (const auto& [display, shown] : cases)
        EXPECT_EQ(shownUnitName(display).string(), shown) << display;
}

} // namespace
} // namespace morvane
