#include "platform/qt/StoreBuild.hpp"

#include <unistd.h>

#include <cstdlib>

namespace joywright {

StoreBuildProbe StoreBuildProbe::system() {
    return StoreBuildProbe{
        .hasEnvironmentVariable =
            [](const char* name) {
                const char* value = std::getenv(name);
                return value != nullptr && *value != '\0';
            },
        .fileExists = [](const char* path) { return access(path, F_OK) == 0; },
    };
}

bool isStoreBuild(const StoreBuildProbe& probe) {
    return probe.fileExists("/.flatpak-info") || probe.hasEnvironmentVariable("FLATPAK_ID") ||
           probe.hasEnvironmentVariable("SNAP");
}

}  // namespace joywright
