#include "persistence/DataDirectories.hpp"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>
#include <vector>

namespace joywright {

namespace {

using PathResult = Expected<std::filesystem::path, std::string>;

PathResult homeDirectory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        return std::filesystem::path(home);
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return std::filesystem::path(found->pw_dir);
    }
    return unexpected(std::string("Could not find the home folder: HOME is not set"));
}

// An XDG base folder: the variable when it holds an absolute path, else `fallback` under home.
PathResult xdgBase(const char* variable, const char* fallback) {
    if (const char* value = std::getenv(variable); value != nullptr && value[0] == '/') {
        return std::filesystem::path(value);
    }
    auto home = homeDirectory();
    if (!home) return home;
    return *home / fallback;
}

PathResult created(PathResult folder) {
    if (!folder) return folder;
    std::error_code error;
    std::filesystem::create_directories(*folder, error);
    if (error) return unexpected("Could not create " + folder->string() + ": " + error.message());
    if (!std::filesystem::is_directory(*folder, error)) {
        return unexpected("Could not create " + folder->string() + ": not a folder");
    }
    return folder;
}

PathResult inside(PathResult parent, const char* name) {
    if (!parent) return parent;
    return created(*parent / name);
}

}  // namespace

PathResult appDataDirectory() {
    auto base = xdgBase("XDG_DATA_HOME", ".local/share");
    if (!base) return base;
    return created(*base / "Joywright");
}

PathResult mappingsDirectory() {
    return inside(appDataDirectory(), "Mappings");
}

PathResult backupsDirectory() {
    return inside(appDataDirectory(), "Backups");
}

PathResult configDirectory() {
    auto base = xdgBase("XDG_CONFIG_HOME", ".config");
    if (!base) return base;
    return created(*base / "Joywright");
}

}  // namespace joywright
