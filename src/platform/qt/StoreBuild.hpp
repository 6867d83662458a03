#pragma once

#include <functional>
#include <string_view>

namespace joywright {

// What the store-build test looks at: environment variables and files.
struct StoreBuildProbe {
    std::function<bool(const char* name)> hasEnvironmentVariable;
    std::function<bool(const char* path)> fileExists;

    // The process's own environment and file system.
    static StoreBuildProbe system();
};

// True when this copy runs inside a sandbox that updates it (Flatpak: /.flatpak-info exists or
// FLATPAK_ID is set; Snap: SNAP is set), so the application skips its own update check.
bool isStoreBuild(const StoreBuildProbe& probe = StoreBuildProbe::system());

}  // namespace joywright
