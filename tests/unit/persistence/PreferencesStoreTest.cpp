#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "PersistenceTestSupport.hpp"
#include "persistence/JsonFilePreferencesStore.hpp"
#include "persistence/PreferencesStore.hpp"
#include "support/Log.hpp"

namespace joywright {
namespace {

using testing::entryNames;
using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

TEST(InMemoryPreferencesStore, TypedReadsGiveNoneForMissingKeysAndOtherTypes) {
    InMemoryPreferencesStore store;
    store.setValue("text", std::string("hello"));
    store.setValue("flag", true);
    store.setValue("list", std::vector<std::string>{"a", "b"});
    store.setValue("data", PreferenceData{"\x01\x02"});

    EXPECT_EQ(store.string("text"), "hello");
    EXPECT_EQ(store.string("flag"), std::nullopt);
    EXPECT_EQ(store.string("missing"), std::nullopt);
    EXPECT_TRUE(store.boolean("flag"));
    EXPECT_FALSE(store.boolean("text"));
    EXPECT_FALSE(store.boolean("missing"));
    EXPECT_EQ(store.stringList("list"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(store.stringList("text"), std::nullopt);
    EXPECT_EQ(store.data("data"), PreferenceData{"\x01\x02"});
    EXPECT_EQ(store.data("text"), std::nullopt);

    store.removeValue("text");
    EXPECT_EQ(store.value("text"), std::nullopt);
    EXPECT_EQ(store.writes(), (std::vector<std::string>{"text", "flag", "list", "data", "text"}));
}

class JsonFilePreferencesStoreTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::filesystem::path file = folder / "Joywright" / "preferences.json";
    ScopedLogCapture log;
};

TEST_F(JsonFilePreferencesStoreTest, EveryValueTypeSurvivesReopening) {
    {
        JsonFilePreferencesStore store(file);
        EXPECT_FALSE(std::filesystem::exists(file)) << "nothing is written before a change";
        store.setValue("MappingOrder", std::vector<std::string>{"B", "A"});
        store.setValue("MappingStore.didMigrate", true);
        store.setValue("lastUsedMappingId", std::string("8E3C1A52-6B1F-7D2E-9A4B-0C1D2E3F4A5B"));
        store.setValue("responseCurve", PreferenceData{R"({"type":"exponential","exponent":2})"});
        store.setValue("SavedMappings", PreferenceData{std::string("\x00\xFF\x80", 3)});
        store.setValue("empty", std::vector<std::string>{});
    }
    JsonFilePreferencesStore reopened(file);
    EXPECT_EQ(reopened.stringList("MappingOrder"), (std::vector<std::string>{"B", "A"}));
    EXPECT_TRUE(reopened.boolean("MappingStore.didMigrate"));
    EXPECT_EQ(reopened.string("lastUsedMappingId"), "8E3C1A52-6B1F-7D2E-9A4B-0C1D2E3F4A5B");
    EXPECT_EQ(reopened.data("responseCurve")->bytes, R"({"type":"exponential","exponent":2})");
    EXPECT_EQ(reopened.data("SavedMappings")->bytes, std::string("\x00\xFF\x80", 3));
    EXPECT_EQ(reopened.stringList("empty"), std::vector<std::string>{});
    EXPECT_TRUE(log->lines().empty());
}

TEST_F(JsonFilePreferencesStoreTest, FileHoldsReadableJsonUnderTheExactKeys) {
    JsonFilePreferencesStore store(file);
    store.setValue("MappingOrder", std::vector<std::string>{"A"});
    store.setValue("MappingBackup.didBackupV1", false);
    store.setValue("autoEnableMode", PreferenceData{R"({"type":"none"})"});
    store.setValue("blob", PreferenceData{"\xC3"});
    const auto json = nlohmann::json::parse(readFile(file));
    EXPECT_EQ(json, nlohmann::json::parse(R"({
        "MappingOrder": ["A"],
        "MappingBackup.didBackupV1": false,
        "autoEnableMode": {"utf8": "{\"type\":\"none\"}"},
        "blob": {"base64": "ww=="}
    })"));
}

TEST_F(JsonFilePreferencesStoreTest, RemovingAKeyRewritesTheFile) {
    JsonFilePreferencesStore store(file);
    store.setValue("a", std::string("1"));
    store.setValue("b", std::string("2"));
    store.removeValue("a");
    EXPECT_EQ(nlohmann::json::parse(readFile(file)), nlohmann::json::parse(R"({"b": "2"})"));
    EXPECT_EQ(JsonFilePreferencesStore(file).value("a"), std::nullopt);
}

TEST_F(JsonFilePreferencesStoreTest, UnreadableFileIsMovedAsideAndTheStoreStartsEmpty) {
    struct Case {
        const char* name;
        std::string_view contents;
    };
    static constexpr Case kCases[] = {
        {"cut short", R"({"MappingOrder": ["A")"},
        {"not an object", R"(["MappingOrder"])"},
        {"empty", ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(file.parent_path());
        std::filesystem::create_directories(file.parent_path());
        writeFile(file, c.contents);
        log->clear();

        JsonFilePreferencesStore store(file);
        EXPECT_EQ(store.value("MappingOrder"), std::nullopt);
        const auto names = entryNames(file.parent_path());
        ASSERT_EQ(names.size(), 1u);
        EXPECT_TRUE(names[0].starts_with("preferences.json.corrupt-")) << names[0];
        EXPECT_EQ(readFile(file.parent_path() / names[0]), c.contents) << "kept byte for byte";
        ASSERT_EQ(log->lines().size(), 1u);
        EXPECT_EQ(log->lines()[0].level, LogLevel::error);
        EXPECT_TRUE(log->contains("moved it to")) << log->lines()[0].message;

        store.setValue("MappingOrder", std::vector<std::string>{"A"});
        EXPECT_EQ(JsonFilePreferencesStore(file).stringList("MappingOrder"),
                  std::vector<std::string>{"A"});
    }
}

TEST_F(JsonFilePreferencesStoreTest, ValuesOfUnknownShapeAreKeptThroughRewrites) {
    std::filesystem::create_directories(file.parent_path());
    writeFile(file, R"({"count": 3, "mixed": ["a", 1], "text": "t"})");
    JsonFilePreferencesStore store(file);
    EXPECT_EQ(store.value("count"), std::nullopt);
    EXPECT_EQ(store.string("text"), "t");
    EXPECT_TRUE(log->contains("Preference count holds a value this version cannot read"));

    store.setValue("text", std::string("u"));
    EXPECT_EQ(nlohmann::json::parse(readFile(file)),
              nlohmann::json::parse(R"({"count": 3, "mixed": ["a", 1], "text": "u"})"));
    store.setValue("count", true);  // a write of the key replaces the unknown value
    EXPECT_EQ(nlohmann::json::parse(readFile(file))["count"], true);
}

TEST_F(JsonFilePreferencesStoreTest, FailedWriteIsLoggedAndTheValueKeptInMemory) {
    JsonFilePreferencesStore store(file);
    std::filesystem::create_directories(file);  // a folder squats on the file name
    store.setValue("MappingOrder", std::vector<std::string>{"A"});
    EXPECT_EQ(store.stringList("MappingOrder"), std::vector<std::string>{"A"});
    EXPECT_TRUE(log->contains("Failed to write preferences to")) << log->lines().size();

    std::filesystem::remove(file);
    store.setValue("MappingOrder", std::vector<std::string>{"A"});  // same value: retried
    EXPECT_EQ(JsonFilePreferencesStore(file).stringList("MappingOrder"),
              std::vector<std::string>{"A"});
}

TEST_F(JsonFilePreferencesStoreTest, FileThatCannotBeMovedAsideIsNeverOverwritten) {
    if (::geteuid() == 0) GTEST_SKIP() << "running as root, which ignores folder permissions";
    std::filesystem::create_directories(file.parent_path());
    writeFile(file, "{broken");
    ::chmod(file.parent_path().c_str(), 0555);
    JsonFilePreferencesStore store(file);
    store.setValue("a", std::string("1"));
    ::chmod(file.parent_path().c_str(), 0755);
    EXPECT_EQ(store.string("a"), "1");
    EXPECT_EQ(readFile(file), "{broken");
    EXPECT_TRUE(log->contains("could not be moved aside"));
}

TEST_F(JsonFilePreferencesStoreTest, UnchangedValueIsNotWrittenAgain) {
    JsonFilePreferencesStore store(file);
    store.setValue("a", std::string("1"));
    std::filesystem::remove(file);
    store.setValue("a", std::string("1"));
    EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace joywright
