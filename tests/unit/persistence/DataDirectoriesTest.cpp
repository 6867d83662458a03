#include <gtest/gtest.h>

#include "PersistenceTestSupport.hpp"
#include "persistence/DataDirectories.hpp"
#include "persistence/JsonFilePreferencesStore.hpp"

namespace joywright {
namespace {

using testing::ScopedEnvironment;
using testing::TempFolder;

TEST(DataDirectories, FoldersLiveUnderXdgDataHomeAndAreCreatedOrSayWhyNot) {
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

    testing::writeFile(folder / "file", "a file where a folder should be");
    environment.set("XDG_DATA_HOME", (folder / "file").string());
    const auto mappings = mappingsDirectory();
    ASSERT_FALSE(mappings.hasValue());
    EXPECT_TRUE(mappings.error().starts_with("Could not create " +
                                             (folder / "file" / "Joywright").string() + ": "))
        << mappings.error();
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

}  // namespace
}  // namespace joywright
