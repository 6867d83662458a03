#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "PersistenceTestSupport.hpp"
#include "model/MappingDocument.hpp"
#include "persistence/MappingFileStorage.hpp"
#include "persistence/PreferenceKeys.hpp"
#include "support/Log.hpp"

namespace joywright {
namespace {

using testing::entryNames;
using testing::readFile;
using testing::renamed;
using testing::TempFolder;
using testing::writeFile;

class MappingFileStorageTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::filesystem::path directory = folder / "Mappings";
    MappingFileStorage storage{directory};
    InMemoryPreferencesStore defaults;
    ScopedLogCapture log;

    void SetUp() override { std::filesystem::create_directories(directory); }

    LoadedMappings loadAll() {
        auto loaded = storage.loadAll(defaults);
        EXPECT_TRUE(loaded.hasValue()) << loaded.error();
        return loaded ? std::move(loaded).value() : LoadedMappings{};
    }
    std::filesystem::path fileOf(const Mapping& mapping) const {
        return directory / (mapping.id.text() + ".json");
    }
};

TEST_F(MappingFileStorageTest, MissingOrEmptyFolderGivesTheDefaultsOnAFirstRunWithoutWriting) {
    std::filesystem::remove(directory);
    const auto loaded = loadAll();
    EXPECT_EQ(testing::namesOf(loaded.mappings),
              (std::vector<std::string>{"Web surfing", "First-person shooter",
                                        "Dragon Quest Builders 1"}));
    EXPECT_TRUE(loaded.corruptFiles.empty());
    ASSERT_TRUE(std::filesystem::is_directory(directory));
    EXPECT_TRUE(entryNames(directory).empty());

    defaults.setValue(kDidMigrateKey, true);
    EXPECT_TRUE(loadAll().mappings.empty());
}

TEST_F(MappingFileStorageTest, OnlyVisibleRegularJsonFilesAreRead) {
    const std::string document = writeMappingDocument(webSurfingMapping());
    for (const char* ignored : {"Notes.txt", ".hidden.json", "Backup.JSON", "mapping.json.bak"})
        writeFile(directory / ignored, document);
    std::filesystem::create_directory(directory / "folder.json");
    std::filesystem::create_directory_symlink(directory / "folder.json", directory / "link.json");
    defaults.setValue(kDidMigrateKey, true);

    const auto loaded = loadAll();
    EXPECT_TRUE(loaded.mappings.empty());
    EXPECT_TRUE(loaded.corruptFiles.empty());
}

TEST_F(MappingFileStorageTest, SavedDocumentIsPrettyWithSortedKeysAndReadsBack) {
    const auto mapping = firstPersonShooterMapping();
    ASSERT_EQ(storage.save(mapping), std::nullopt);
    const std::string text = readFile(fileOf(mapping));
    EXPECT_EQ(text, nlohmann::json::parse(text).dump(2) + "\n");  // objects keep keys sorted
    EXPECT_TRUE(text.starts_with("{\n  \"id\": ")) << text.substr(0, 20);
    EXPECT_EQ(loadAll().mappings, std::vector<Mapping>{mapping});
}

// Every kind of reader error, reported in file-name order; the valid file among them still loads.
TEST_F(MappingFileStorageTest, CorruptFilesAreClassifiedNamedAndLoggedAndTheRestLoads) {
    auto unsupported = nlohmann::json::parse(writeMappingDocument(webSurfingMapping()));
    unsupported["schemaVersion"] = "2.0";
    unsupported["name"] = "Future";
    struct Case {
        std::string fileName;
        std::string contents;
        std::string kind;  // as the reader reports it
        CorruptionReason reason;
        std::optional<std::string> name;
    };
    const Case cases[] = {
        {"0192F0C8-3B7A-7C1D-8E2F-3A4B5C6D7E8F.json", "{", "notJSON",
         CorruptionReason::malformedJSON, std::nullopt},
        {"b.json", R"({"name": "Racing", "inputs": 3})", "missingMember",
         CorruptionReason::schemaMismatch, "Racing"},
        {"c.json", "{\"name\" : \"Half written\n  cut\" , \"inputs\": [", "notJSON",
         CorruptionReason::malformedJSON, "Half written\n  cut"},
        {"f.json", unsupported.dump(), "unsupportedSchemaVersion", CorruptionReason::malformedJSON,
         "Future"},
        {"g.json", R"({"id": "not an id", "name": "Bad id"})", "dataCorrupted",
         CorruptionReason::malformedJSON, "Bad id"},
        {"my mapping.json", R"({"id": 5, "name": 5})", "wrongType",
         CorruptionReason::schemaMismatch, std::nullopt},
    };
    for (const auto& c : cases)
        writeFile(directory / c.fileName, c.contents);
    const auto valid = webSurfingMapping();
    ASSERT_EQ(storage.save(valid), std::nullopt);

    const auto loaded = loadAll();
    EXPECT_EQ(loaded.mappings, std::vector<Mapping>{valid});
    ASSERT_EQ(loaded.corruptFiles.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.fileName);
        const std::filesystem::path file = directory / c.fileName;
        EXPECT_EQ(loaded.corruptFiles[i],
                  (CorruptFile{file, Uuid::parse(file.stem().string()), c.reason, c.name}));
        EXPECT_TRUE(log->contains("Skipping corrupt mapping file " + c.fileName + ": " + c.kind));
    }
    EXPECT_TRUE(loaded.corruptFiles[0].mappingID.has_value());
}

TEST_F(MappingFileStorageTest, UnreadableFileIsReportedWithoutAName) {
    if (::geteuid() == 0) GTEST_SKIP() << "running as root, which reads any file";
    const auto mapping = webSurfingMapping();
    ASSERT_EQ(storage.save(mapping), std::nullopt);
    ::chmod(fileOf(mapping).c_str(), 0);
    EXPECT_EQ(loadAll().corruptFiles,
              (std::vector<CorruptFile>{
                  {fileOf(mapping), mapping.id, CorruptionReason::unreadable, std::nullopt}}));
    EXPECT_TRUE(log->contains("Skipping unreadable mapping file " + mapping.id.text() +
                              ".json: Permission denied"));
}

// Of two files holding one id, the one named after the id wins, else the first by name; the
// other is reported as a duplicate.
TEST_F(MappingFileStorageTest, SecondFileWithTheSameIdIsReportedAsDuplicate) {
    const auto a = webSurfingMapping();
    const auto b = firstPersonShooterMapping();
    ASSERT_EQ(storage.save(a), std::nullopt);
    writeFile(directory / "0 copy.json", writeMappingDocument(renamed(a, "Copy of A")));
    writeFile(directory / "b1.json", writeMappingDocument(b));
    writeFile(directory / "b2.json", writeMappingDocument(renamed(b, "Copy of B")));

    const auto loaded = loadAll();
    EXPECT_EQ(loaded.mappings, (std::vector<Mapping>{a, b}));
    EXPECT_EQ(
        loaded.corruptFiles,
        (std::vector<CorruptFile>{
            {directory / "0 copy.json", std::nullopt, CorruptionReason::duplicateID, "Copy of A"},
            {directory / "b2.json", std::nullopt, CorruptionReason::duplicateID, "Copy of B"}}));
    EXPECT_EQ(log->count("Skipping mapping file b2.json: mapping " + b.id.text() +
                         " is already loaded from b1.json"),
              1u);
}

TEST_F(MappingFileStorageTest, TemporaryFilesLeftByACrashAreRemovedOnceStale) {
    defaults.setValue(kDidMigrateKey, true);
    const std::string stale = ".0192F0C8-3B7A-7C1D-8E2F-3A4B5C6D7E8F.json.tmp-0123456789abcdef";
    const std::string fresh = ".0192F0C8-3B7A-7C1D-8E2F-3A4B5C6D7E8F.json.tmp-fedcba9876543210";
    for (const auto& name : {stale, fresh, std::string(".other-hidden-file")}) {
        writeFile(directory / name, "{\"id\"");
        if (name == fresh) continue;
        std::filesystem::last_write_time(
            directory / name,
            std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    }
    const auto loaded = loadAll();
    EXPECT_TRUE(loaded.mappings.empty());
    EXPECT_TRUE(loaded.corruptFiles.empty());
    EXPECT_EQ(entryNames(directory), (std::vector<std::string>{fresh, ".other-hidden-file"}))
        << "a fresh one may belong to a write in progress";
    EXPECT_EQ(log->count("Removed 1 leftover temporary files"), 1u);
}

TEST_F(MappingFileStorageTest, DeleteRemovesTheFileAndFailsOnlyWhenItCannot) {
    const auto mapping = webSurfingMapping();
    ASSERT_EQ(storage.save(mapping), std::nullopt);
    EXPECT_EQ(storage.deleteMapping(mapping.id), std::nullopt);
    EXPECT_TRUE(entryNames(directory).empty());
    EXPECT_EQ(storage.deleteMapping(mapping.id), std::nullopt) << "already gone";

    std::filesystem::create_directories(fileOf(mapping) / "inside");
    const auto failure = storage.deleteMapping(mapping.id);
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find("Is a directory"), std::string::npos) << *failure;
}

TEST(RecoverMappingName, FollowsTheJsonMemberThenThePattern) {
    struct Case {
        std::string_view bytes;
        std::optional<std::string_view> name;
    };
    static constexpr Case kCases[] = {
        {R"({"name": "Racing"})", "Racing"},
        {R"({"name": "Esc\"aped"})", "Esc\"aped"},  // parsed JSON is unescaped
        {R"({"inputs": [], "name": 7, "x": {"name": "inner"}})", "inner"},
        {R"(oops "name":"first" "name": "second")", "first"},
        {R"(oops "name" "no colon" "name" : "later")", "later"},
        {R"(oops "name": "Esc\"aped")", "Esc\\"},  // the pattern takes text verbatim
        {R"(oops "name": "never closed)", std::nullopt},
        {R"(oops "Name": "case matters")", std::nullopt},
        {"\xFF{\"name\": \"not UTF-8\"", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(recoverMappingNameFromBytes(c.bytes),
                  c.name ? std::optional<std::string>(*c.name) : std::nullopt);
    }
}

TEST(RecoverMappingName, HugeNameInABrokenFileIsFoundAndAnUnreadableFileHasNone) {
    const std::string longName(1 << 20, 'n');
    EXPECT_EQ(recoverMappingNameFromBytes("{\"name\": \"" + longName + "\" trailing"), longName);
    EXPECT_EQ(recoverMappingName("/nonexistent/joywright/a.json"), std::nullopt);
}

TEST(CorruptionReason, CaptionsAndTitles) {
    struct Case {
        CorruptionReason reason;
        std::string_view caption;
        std::string_view title;
    };
    static constexpr Case kCases[] = {
        {CorruptionReason::unreadable, "File unreadable — using last saved version", "Unreadable"},
        {CorruptionReason::malformedJSON, "Malformed JSON — using last saved version",
         "Malformed JSON"},
        {CorruptionReason::schemaMismatch, "Schema mismatch — using last saved version",
         "Schema mismatch"},
        {CorruptionReason::duplicateID, "Duplicate mapping ID — using last saved version",
         "Duplicate mapping ID"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(caption(c.reason), c.caption);
        EXPECT_EQ(title(c.reason), c.title);
    }
}

}  // namespace
}  // namespace joywright
