#include <gtest/gtest.h>

#include <cstdlib>

#include "PersistenceTestSupport.hpp"
#include "persistence/DataDirectories.hpp"
#include "persistence/JsonFilePreferencesStore.hpp"

namespace joywright {
namespace {

using testing::TempFolder;

// Sets environment variables (none: unset) for one test and puts the old values back after.
class ScopedEnvironment {
public:
    void set(const char* name, const std::optional<std::string>& value) {
        if (!saved_.contains(name)) {
            const char* old = std::getenv(name);
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        apply(name, value);
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_)
            apply(name, value);
    }

private:
    static void apply(const std::string& name, const std::optional<std::string>& value) {
        value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }
    std::map<std::string, std::optional<std::string>> saved_;
};

TEST(DataDirectories, FoldersLiveUnderXdgDataHomeAndAreCreated) {
    TempFolder folder;
    ScopedEnvironment environment;
    environment.set("XDG_DATA_HOME", (folder / "data").string());
    environment.set("XDG_CONFIG_HOME", (folder / "config").string());
    const auto app = folder / "data" / "Joywright";
    EXPECT_EQ(appDataDirectory().value(), app);
    EXPECT_EQ(mappingsDirectory().value(), app / "Mappings");
    EXPECT_EQ(backupsDirectory().value(), app / "Backups");
    EXPECT_EQ(JsonFilePreferencesStore::defaultFile().value(),
              folder / "config" / "Joywright" / "preferences.json");
    EXPECT_TRUE(std::filesystem::is_directory(app / "Mappings"));
    EXPECT_TRUE(std::filesystem::is_directory(app / "Backups"));
}

TEST(DataDirectories, UnsetOrRelativeXdgDataHomeFallsBackToTheHomeFolder) {
    TempFolder folder;
    ScopedEnvironment environment;
    environment.set("HOME", folder.path().string());
    for (const auto& value : {std::optional<std::string>(), std::optional<std::string>(""),
                              std::optional<std::string>("relative/data")}) {
        SCOPED_TRACE(value.value_or("(unset)"));
        environment.set("XDG_DATA_HOME", value);
        environment.set("XDG_CONFIG_HOME", value);
        EXPECT_EQ(mappingsDirectory().value(),
                  folder / ".local" / "share" / "Joywright" / "Mappings");
        EXPECT_EQ(JsonFilePreferencesStore::defaultFile().value(),
                  folder / ".config" / "Joywright" / "preferences.json");
    }
}

TEST(DataDirectories, FolderThatCannotBeCreatedSaysWhy) {
    TempFolder folder;
    ScopedEnvironment environment;
    testing::writeFile(folder / "data", "a file where a folder should be");
    environment.set("XDG_DATA_HOME", (folder / "data").string());
    const auto mappings = mappingsDirectory();
    ASSERT_FALSE(mappings.hasValue());
    EXPECT_TRUE(mappings.error().starts_with("Could not create " +
                                             (folder / "data" / "Joywright").string() + ": "))
        << mappings.error();
}

}  // namespace
}  // namespace joywright
