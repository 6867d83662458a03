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
};

std::vector<std::string> namesOf(const std::vector<Mapping>& mappings) {
    std::vector<std::string> names;
    for (const auto& mapping : mappings)
        names.push_back(mapping.name);
    return names;
}

TEST_F(MappingFileStorageTest, EmptyFolderOnAFirstRunGivesTheDefaultsWithoutWritingThem) {
    const auto loaded = loadAll();
    EXPECT_EQ(namesOf(loaded.mappings),
              (std::vector<std::string>{"Web surfing", "First-person shooter",
                                        "Dragon Quest Builders 1"}));
    EXPECT_TRUE(loaded.corruptFiles.empty());
    EXPECT_TRUE(entryNames(directory).empty());

    defaults.setValue(kDidMigrateKey, true);
    EXPECT_TRUE(loadAll().mappings.empty());
}

TEST_F(MappingFileStorageTest, MissingFolderIsCreatedAndReadAsEmpty) {
    std::filesystem::remove(directory);
    defaults.setValue(kDidMigrateKey, true);
    const auto loaded = loadAll();
    EXPECT_TRUE(loaded.mappings.empty());
    EXPECT_TRUE(std::filesystem::is_directory(directory));
}

TEST_F(MappingFileStorageTest, FolderThatCannotBeListedFails) {
    std::filesystem::remove(directory);
    writeFile(directory, "a file where the folder should be");
    const auto loaded = storage.loadAll(defaults);
    ASSERT_FALSE(loaded.hasValue());
    EXPECT_NE(loaded.error().find("Not a directory"), std::string::npos) << loaded.error();
}

TEST_F(MappingFileStorageTest, OnlyVisibleRegularJsonFilesAreRead) {
    const auto mapping = webSurfingMapping();
    const std::string document = writeMappingDocument(mapping);
    for (const char* ignored : {"Notes.txt", ".hidden.json", "Backup.JSON", "mapping.json.bak"}) {
        writeFile(directory / ignored, document);
    }
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
    const std::string text = readFile(directory / (mapping.id.text() + ".json"));
    EXPECT_TRUE(text.starts_with("{\n  \"id\": \"" + mapping.id.text() + "\",\n  \"inputs\": ["))
        << text.substr(0, 80);
    std::size_t last = 0;
    for (const char* key :
         {"\n  \"id\"", "\n  \"inputs\"", "\n  \"leftThumbstickMode\"", "\n  \"name\"",
          "\n  \"rightThumbstickMode\"", "\n  \"schemaVersion\""}) {
        const auto at = text.find(key);
        ASSERT_NE(at, std::string::npos) << key;
        EXPECT_GT(at, last) << key;
        last = at;
    }
    const auto loaded = loadAll();
    ASSERT_EQ(loaded.mappings.size(), 1u);
    EXPECT_EQ(loaded.mappings[0], mapping);
}

TEST_F(MappingFileStorageTest, FileNamedOtherThanItsIdLoadsUnderTheIdInside) {
    const auto mapping = webSurfingMapping();
    writeFile(directory / "my copy.json", writeMappingDocument(mapping));
    const auto loaded = loadAll();
    ASSERT_EQ(loaded.mappings.size(), 1u);
    EXPECT_EQ(loaded.mappings[0].id, mapping.id);
}

TEST_F(MappingFileStorageTest, CorruptFilesAreClassifiedNamedAndLogged) {
    const std::string id = "0192F0C8-3B7A-7C1D-8E2F-3A4B5C6D7E8F";
    auto unsupported = nlohmann::json::parse(writeMappingDocument(webSurfingMapping()));
    unsupported["schemaVersion"] = "2.0";
    unsupported["name"] = "Future";

    struct Case {
        std::string fileName;
        std::string contents;
        CorruptionReason reason;
        std::optional<std::string> name;
    };
    const std::vector<Case> cases = {
        {id + ".json", "{", CorruptionReason::malformedJSON, std::nullopt},
        {"b.json", R"({"name": "Racing", "inputs": 3})", CorruptionReason::schemaMismatch,
         "Racing"},
        {"c.json", "{\"name\" : \"Half written\n  cut\" , \"inputs\": [",
         CorruptionReason::malformedJSON, "Half written\n  cut"},
        {"d.json", "[1, \"name\"\t:\n \"Half \\u00e9 written\", 2 oops",
         CorruptionReason::malformedJSON, "Half \\u00e9 written"},
        {"e.json", "\xFF{\"name\": \"Latin\"", CorruptionReason::malformedJSON, std::nullopt},
        {"f.json", unsupported.dump(), CorruptionReason::malformedJSON, "Future"},
        {"my mapping.json", "{\"name\": 5}", CorruptionReason::schemaMismatch, std::nullopt},
    };
    for (const auto& c : cases)
        writeFile(directory / c.fileName, c.contents);

    const auto loaded = loadAll();
    EXPECT_TRUE(loaded.mappings.empty());
    ASSERT_EQ(loaded.corruptFiles.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].fileName);
        const auto& file = loaded.corruptFiles[i];
        EXPECT_EQ(file.url, directory / cases[i].fileName);
        EXPECT_EQ(file.reason, cases[i].reason);
        EXPECT_EQ(file.name, cases[i].name);
        EXPECT_TRUE(log->contains("Skipping corrupt mapping file " + cases[i].fileName + ": "));
    }
    EXPECT_EQ(loaded.corruptFiles[0].mappingID, Uuid::parse(id));
    EXPECT_EQ(loaded.corruptFiles[1].mappingID, std::nullopt);
    EXPECT_EQ(loaded.corruptFiles.back().mappingID, std::nullopt);
    EXPECT_TRUE(
        log->contains("Skipping corrupt mapping file f.json: "
                      "unsupportedSchemaVersion at schemaVersion"));
}

TEST_F(MappingFileStorageTest, CorruptFileDoesNotStopTheRestOfTheFolder) {
    const auto a = webSurfingMapping();
    const auto b = firstPersonShooterMapping();
    ASSERT_EQ(storage.save(a), std::nullopt);
    ASSERT_EQ(storage.save(b), std::nullopt);
    writeFile(directory / (b.id.text() + ".json"), "{");
    const auto loaded = loadAll();
    ASSERT_EQ(loaded.mappings.size(), 1u);
    EXPECT_EQ(loaded.mappings[0], a);
    ASSERT_EQ(loaded.corruptFiles.size(), 1u);
    EXPECT_EQ(loaded.corruptFiles[0].mappingID, b.id);
}

TEST_F(MappingFileStorageTest, UnreadableFileIsReportedWithoutAName) {
    if (::geteuid() == 0) GTEST_SKIP() << "running as root, which reads any file";
    const auto a = webSurfingMapping();
    ASSERT_EQ(storage.save(a), std::nullopt);
    const auto file = directory / (a.id.text() + ".json");
    ::chmod(file.c_str(), 0);
    const auto loaded = loadAll();
    ASSERT_EQ(loaded.corruptFiles.size(), 1u);
    EXPECT_EQ(loaded.corruptFiles[0],
              (CorruptFile{file, a.id, CorruptionReason::unreadable, std::nullopt}));
    EXPECT_TRUE(log->contains("Skipping unreadable mapping file " + a.id.text() +
                              ".json: Permission denied"));
}

TEST_F(MappingFileStorageTest, SecondFileWithTheSameIdIsReportedAsDuplicate) {
    const auto original = webSurfingMapping();
    writeFile(directory / "a.json", writeMappingDocument(original));
    writeFile(directory / "b.json", writeMappingDocument(renamed(original, "Copy")));
    const auto loaded = loadAll();
    ASSERT_EQ(loaded.mappings.size(), 1u);
    EXPECT_EQ(loaded.mappings[0].name, "Web surfing");
    ASSERT_EQ(loaded.corruptFiles.size(), 1u);
    EXPECT_EQ(loaded.corruptFiles[0], (CorruptFile{directory / "b.json", std::nullopt,
                                                   CorruptionReason::duplicateID, "Copy"}));
    EXPECT_EQ(log->count("Skipping mapping file b.json: mapping " + original.id.text() +
                         " is already loaded from a.json"),
              1u);
}

TEST_F(MappingFileStorageTest, TemporaryFilesLeftByACrashAreRemovedOnceStale) {
    defaults.setValue(kDidMigrateKey, true);
    const std::string stale = ".0192F0C8-3B7A-7C1D-8E2F-3A4B5C6D7E8F.json.tmp-0123456789abcdef";
    const std::string fresh = ".0192F0C8-3B7A-7C1D-8E2F-3A4B5C6D7E8F.json.tmp-fedcba9876543210";
    writeFile(directory / stale, "{\"id\"");
    writeFile(directory / fresh, "{\"id\"");
    writeFile(directory / ".other-hidden-file", "old");
    for (const auto& name : {stale, std::string(".other-hidden-file")}) {
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

TEST_F(MappingFileStorageTest, FileNamedAfterTheIdWinsOverACopyThatSortsFirst) {
    const auto original = webSurfingMapping();
    ASSERT_EQ(storage.save(original), std::nullopt);
    writeFile(directory / "0 copy.json", writeMappingDocument(renamed(original, "Copy")));
    const auto loaded = loadAll();
    EXPECT_EQ(loaded.mappings, std::vector<Mapping>{original});
    ASSERT_EQ(loaded.corruptFiles.size(), 1u);
    EXPECT_EQ(loaded.corruptFiles[0].url, directory / "0 copy.json");
    EXPECT_EQ(loaded.corruptFiles[0].reason, CorruptionReason::duplicateID);
}

TEST_F(MappingFileStorageTest, DeletingRemovesTheFileAndAMissingFileIsNoError) {
    const auto mapping = webSurfingMapping();
    ASSERT_EQ(storage.save(mapping), std::nullopt);
    EXPECT_EQ(storage.deleteMapping(mapping.id), std::nullopt);
    EXPECT_TRUE(entryNames(directory).empty());
    EXPECT_EQ(storage.deleteMapping(mapping.id), std::nullopt);
}

TEST_F(MappingFileStorageTest, DeleteThatCannotRemoveTheFileFails) {
    const auto mapping = webSurfingMapping();
    std::filesystem::create_directories(directory / (mapping.id.text() + ".json") / "inside");
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
        {"", std::nullopt},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.bytes);
        const auto name = recoverMappingNameFromBytes(c.bytes);
        EXPECT_EQ(name, c.name ? std::optional<std::string>(*c.name) : std::nullopt);
    }
}

TEST(RecoverMappingName, HugeNameInABrokenFileIsFound) {
    const std::string longName(1 << 20, 'n');
    EXPECT_EQ(recoverMappingNameFromBytes("{\"name\": \"" + longName + "\" trailing"), longName);
}

TEST(RecoverMappingName, UnreadableFileHasNoName) {
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

TEST(CorruptionReason, ReaderErrorKindsMapToReasons) {
    struct Case {
        DocumentErrorKind kind;
        CorruptionReason reason;
    };
    static constexpr Case kCases[] = {
        {DocumentErrorKind::notJSON, CorruptionReason::malformedJSON},
        {DocumentErrorKind::dataCorrupted, CorruptionReason::malformedJSON},
        {DocumentErrorKind::unsupportedSchemaVersion, CorruptionReason::malformedJSON},
        {DocumentErrorKind::missingMember, CorruptionReason::schemaMismatch},
        {DocumentErrorKind::wrongType, CorruptionReason::schemaMismatch},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(name(c.kind));
        EXPECT_EQ(corruptionReason(c.kind), c.reason);
    }
}

}  // namespace
}  // namespace joywright
