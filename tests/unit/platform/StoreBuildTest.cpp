#include "platform/qt/StoreBuild.hpp"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace joywright {
namespace {

struct StoreCase {
    const char* what;
    std::set<std::string> variables;
    std::set<std::string> files;
    bool storeBuild;
};

TEST(StoreBuild, FlatpakAndSnapUpdateThemselves) {
    const StoreCase cases[] = {
        {"plain install", {}, {}, false},
        {"flatpak info file", {}, {"/.flatpak-info"}, true},
        {"flatpak id", {"FLATPAK_ID"}, {}, true},
        {"snap", {"SNAP"}, {}, true},
        {"unrelated variables", {"SNAPSHOT", "FLATPAK"}, {"/.flatpak"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const StoreBuildProbe probe{
            .hasEnvironmentVariable = [&](const char* name) { return c.variables.contains(name); },
            .fileExists = [&](const char* path) { return c.files.contains(path); },
        };
        EXPECT_EQ(isStoreBuild(probe), c.storeBuild);
    }
}

}  // namespace
}  // namespace joywright
