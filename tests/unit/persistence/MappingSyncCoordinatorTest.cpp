#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "PersistenceTestSupport.hpp"
#include "model/MappingDocument.hpp"
#include "persistence/MappingSyncCoordinator.hpp"
#include "persistence/PreferenceKeys.hpp"
#include "support/Log.hpp"
#include "support/VirtualMainLoop.hpp"

namespace joywright {

void PrintTo(const SaveStatus& status, std::ostream* out) {
    *out << status.description();
}

namespace {

using testing::entryNames;
using testing::idTexts;
using testing::namesOf;
using testing::readFile;
using testing::RecordingStorage;
using testing::renamed;
using testing::TempFolder;
using testing::writeFile;
using List = std::vector<Mapping>;
using CorruptIDs = MappingSyncCoordinator::CorruptMappingIDs;

const std::vector<SaveStatus> kSavedOnce{SaveStatus::saving(), SaveStatus::idle()};

class MappingSyncCoordinatorTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::filesystem::path directory = folder / "Mappings";
    RecordingStorage storage{directory};
    InMemoryPreferencesStore defaults;
    VirtualMainLoop loop;
    ScopedLogCapture log;
    std::unique_ptr<MappingSyncCoordinator> coordinator;

    std::vector<SaveStatus> statuses;
    std::vector<List> externalChanges;
    std::vector<CorruptIDs> corruptChanges;
    std::vector<std::vector<CorruptFile>> unrecoverableChanges;
    std::size_t writesBefore = 0;

    void SetUp() override {
        std::filesystem::create_directories(directory);
        makeCoordinator();
    }

    void makeCoordinator() {
        coordinator =
            std::make_unique<MappingSyncCoordinator>(storage, defaults, loop, seconds(0.3));
        coordinator->onSaveStatusChanged = [this](const SaveStatus& s) { statuses.push_back(s); };
        coordinator->onExternalChange = [this](const List& m) { externalChanges.push_back(m); };
        coordinator->onCorruptMappingsChanged = [this](const auto& ids) {
            corruptChanges.push_back(ids);
        };
        coordinator->onUnrecoverableCorruptFilesChanged = [this](const auto& files) {
            unrecoverableChanges.push_back(files);
        };
    }

    // The three defaults seeded by a first load, with the records of that load cleared.
    List loadSeeded() {
        auto mappings = coordinator->load();
        EXPECT_EQ(mappings.size(), 3u);
        clearRecords();
        return mappings;
    }

    void clearRecords() {
        storage.operations.clear();
        statuses.clear();
        log->clear();
        writesBefore = defaults.writes().size();
    }

    // Hands the list over and lets the debounce run out.
    void saveAndWait(const List& mappings) {
        coordinator->scheduleSave(mappings);
        loop.advance(0.3);
    }

    // Hands the list over, lets the debounce run out and checks that exactly `operations` and,
    // when `orderWritten`, the order were written, with `logLine` and every mapping on disk.
    void expectFlush(const char* what, const List& mappings,
                     const std::vector<std::string>& operations, bool orderWritten,
                     std::string_view logLine) {
        SCOPED_TRACE(what);
        clearRecords();
        saveAndWait(mappings);
        EXPECT_EQ(storage.operations, operations);
        EXPECT_EQ(orderWrites(), orderWritten ? 1u : 0u);
        const bool wrote = !operations.empty() || orderWritten;
        EXPECT_EQ(statuses, wrote ? kSavedOnce : std::vector<SaveStatus>{});
        EXPECT_EQ(log->count(logLine), 1u);
        EXPECT_EQ(storedOrder(), idTexts(mappings));
        for (const auto& mapping : mappings)
            EXPECT_EQ(onDisk(mapping), mapping);
    }

    // Writes of the stored order since the last clearRecords().
    std::size_t orderWrites() const {
        const auto& writes = defaults.writes();
        return static_cast<std::size_t>(
            std::count(writes.begin() + static_cast<std::ptrdiff_t>(writesBefore), writes.end(),
                       kMappingOrderKey));
    }

    std::filesystem::path fileOf(const Mapping& mapping) const {
        return directory / (mapping.id.text() + ".json");
    }
    Mapping onDisk(const Mapping& mapping) const {
        auto document = readMappingDocument(readFile(fileOf(mapping)));
        EXPECT_TRUE(document.hasValue()) << "no valid document for " << mapping.name;
        return document ? std::move(document).value() : Mapping{};
    }
    std::vector<std::string> storedOrder() const {
        return defaults.stringList(kMappingOrderKey).value_or(std::vector<std::string>{});
    }
};

TEST_F(MappingSyncCoordinatorTest, FirstLoadSeedsTheThreeDefaultsInOrder) {
    const auto mappings = coordinator->load();
    EXPECT_EQ(namesOf(mappings), (std::vector<std::string>{"Web surfing", "First-person shooter",
                                                           "Dragon Quest Builders 1"}));
    EXPECT_EQ(entryNames(directory).size(), 3u);
    for (const auto& mapping : mappings)
        EXPECT_EQ(onDisk(mapping), mapping);
    EXPECT_EQ(storedOrder(), idTexts(mappings));
    EXPECT_TRUE(defaults.boolean(kDidMigrateKey));
    EXPECT_EQ(log->count("Seeded 3 default mappings to disk"), 1u);
    EXPECT_EQ(log->count("Loaded 3 mappings"), 1u);
    EXPECT_TRUE(statuses.empty()) << "load fires no callbacks";

    makeCoordinator();
    EXPECT_EQ(coordinator->load(), mappings) << "a second launch reads the same list back";
}

TEST_F(MappingSyncCoordinatorTest, SeedingThatPartlyFailsKeepsOnlyWhatWasWritten) {
    storage.failingNames["First-person shooter"] = "No space left on device";
    const auto mappings = coordinator->load();
    EXPECT_EQ(namesOf(mappings),
              (std::vector<std::string>{"Web surfing", "Dragon Quest Builders 1"}));
    EXPECT_EQ(storedOrder(), idTexts(mappings));
    EXPECT_TRUE(defaults.boolean(kDidMigrateKey));
    EXPECT_EQ(log->count("Failed to seed default mapping 'First-person shooter': "
                         "No space left on device"),
              1u);
    EXPECT_EQ(log->count("Seeded 2/3 default mappings to disk (1 failed)"), 1u);
}

TEST_F(MappingSyncCoordinatorTest, ThreeEditsWithinTheDebounceGiveOneFlushWithTheLastList) {
    auto mappings = loadSeeded();
    const Mapping original = mappings[1];
    for (const char* name : {"one", "two", "three"}) {
        mappings[1].name = name;
        coordinator->scheduleSave(mappings);
        loop.advance(0.1);
    }
    loop.advance(0.15);  // 0.45 s: the last edit, at 0.2 s, has not settled yet
    EXPECT_TRUE(storage.operations.empty());
    EXPECT_EQ(onDisk(original), original);
    loop.advance(0.1);
    EXPECT_EQ(storage.operations, std::vector<std::string>{"save three"});
    EXPECT_EQ(onDisk(mappings[1]).name, "three");
    EXPECT_EQ(statuses, kSavedOnce);
    EXPECT_EQ(log->count("Flushed 1 saved, 0 deleted, orderChanged: false"), 1u);
    EXPECT_EQ(loop.pendingCount(), 0u);
}

// Each step edits the list the step before left saved.
TEST_F(MappingSyncCoordinatorTest, FlushWritesOnlyWhatChanged) {
    auto mappings = loadSeeded();
    expectFlush("the saved list again", mappings, {}, false, "Flush skipped, no changes");
    mappings[2].name = "Renamed";
    expectFlush("a rename", mappings, {"save Renamed"}, false,
                "Flushed 1 saved, 0 deleted, orderChanged: false");
    std::swap(mappings[0], mappings[2]);
    expectFlush("a move", mappings, {}, true, "Flushed 0 saved, 0 deleted, orderChanged: true");
    const Mapping removed = mappings[0];
    mappings.erase(mappings.begin());
    mappings.push_back(renamed(webSurfingMapping(), "Added"));
    expectFlush("an addition and a removal", mappings,
                {"save Added", "delete " + removed.id.text()}, true,
                "Flushed 1 saved, 1 deleted, orderChanged: true");
    EXPECT_FALSE(std::filesystem::exists(fileOf(removed)));
}

// Broken files found by a first load have no copy in memory: they are unrecoverable, listed by
// file name.
TEST_F(MappingSyncCoordinatorTest, FirstLoadFollowsTheStoredOrderAndReportsBrokenFiles) {
    const List mappings{renamed(webSurfingMapping(), "A"), renamed(webSurfingMapping(), "B"),
                        renamed(webSurfingMapping(), "C")};
    for (const auto& mapping : mappings)
        ASSERT_EQ(storage.save(mapping), std::nullopt);
    writeFile(directory / "z.json", "{");
    writeFile(directory / "a-copy.json", writeMappingDocument(mappings[0]));
    writeFile(directory / "b.json", R"({"name": "Racing"})");
    defaults.setValue(kDidMigrateKey, true);
    // C first, B named twice, a mapping that is gone, text that is no id; A is missing.
    defaults.setValue(kMappingOrderKey,
                      std::vector<std::string>{mappings[2].id.text(), mappings[1].id.text(),
                                               webSurfingMapping().id.text(), "not an id",
                                               mappings[1].id.text()});

    const auto loaded = coordinator->load();
    EXPECT_EQ(namesOf(loaded), (std::vector<std::string>{"C", "B", "A"}));
    EXPECT_EQ(storedOrder(), idTexts(loaded)) << "the normalized order is written back";
    EXPECT_EQ(log->count("Order normalized: 1 orphaned mappings appended"), 1u);
    EXPECT_EQ(log->count("Skipped 2 stale order entries"), 1u);

    const auto& files = coordinator->unrecoverableCorruptFiles();
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].url, directory / "a-copy.json");
    EXPECT_EQ(files[0].reason, CorruptionReason::duplicateID);
    EXPECT_EQ(files[1].url, directory / "b.json");
    EXPECT_EQ(files[1].name, "Racing");
    EXPECT_EQ(files[2].url, directory / "z.json");
    EXPECT_TRUE(coordinator->corruptMappingIDs().empty());
    EXPECT_TRUE(unrecoverableChanges.empty()) << "load fires no callbacks";
}

TEST_F(MappingSyncCoordinatorTest, ReloadReportsAnOutsideEditAndSkipsWhenNothingChanged) {
    auto mappings = loadSeeded();
    mappings[0].name = "Pending";
    coordinator->scheduleSave(mappings);
    coordinator->reloadFromDisk();  // writes the pending list first
    EXPECT_EQ(storage.operations, std::vector<std::string>{"save Pending"});
    EXPECT_EQ(log->count("Reload skipped, disk matches last saved state"), 1u);
    EXPECT_TRUE(externalChanges.empty());
    loop.advance(1.0);
    EXPECT_EQ(storage.operations.size(), 1u) << "the debounce task was cancelled";

    mappings[1].name = "Edited outside";
    ASSERT_EQ(storage.files().save(mappings[1]), std::nullopt);
    coordinator->onExternalChange = [this](const List& list) {
        externalChanges.push_back(list);
        coordinator->scheduleSave(list);  // as the model does; a reload never writes back
    };
    coordinator->reloadFromDisk();
    ASSERT_EQ(externalChanges.size(), 1u);
    EXPECT_EQ(externalChanges[0], mappings);
    EXPECT_EQ(log->count("Reloaded 3 mappings from disk (external change detected)"), 1u);
    EXPECT_EQ(log->count("scheduleSave suppressed during reload"), 1u);
    EXPECT_EQ(loop.pendingCount(), 0u);
    EXPECT_EQ(corruptChanges, std::vector<CorruptIDs>{{}});
    EXPECT_EQ(unrecoverableChanges.size(), 1u);

    // What the reload read counts as saved: handing the same list back writes nothing.
    saveAndWait(mappings);
    EXPECT_EQ(log->count("Flush skipped, no changes"), 1u);
}

TEST_F(MappingSyncCoordinatorTest, FileBrokenWhileRunningIsServedFromMemoryAndReverted) {
    const auto mappings = loadSeeded();
    const Mapping& broken = mappings[1];
    writeFile(fileOf(broken), R"({"name": "First-person shooter", "inputs": 3})");

    coordinator->reloadFromDisk();
    ASSERT_EQ(externalChanges.size(), 1u);
    EXPECT_EQ(externalChanges[0], mappings) << "kept at its place, from memory";
    const CorruptIDs expected{{broken.id, CorruptionReason::schemaMismatch}};
    EXPECT_EQ(coordinator->corruptMappingIDs(), expected);
    EXPECT_EQ(corruptChanges, std::vector<CorruptIDs>{expected});
    EXPECT_TRUE(coordinator->unrecoverableCorruptFiles().empty());
    EXPECT_EQ(storedOrder(), idTexts(mappings));

    coordinator->reloadFromDisk();  // still broken, nothing new
    EXPECT_EQ(log->count("Reload skipped, disk matches last saved state"), 1u);

    storage.failing[broken.id] = "Read-only file system";
    coordinator->revertCorruptFile(broken.id);
    EXPECT_EQ(statuses, (std::vector<SaveStatus>{SaveStatus::saving(),
                                                 SaveStatus::error("Read-only file system")}));
    EXPECT_EQ(coordinator->corruptMappingIDs(), expected) << "a failed revert changes nothing";
    EXPECT_EQ(log->count("Failed to revert corrupt mapping " + broken.id.text() +
                         ": Read-only file system"),
              1u);

    storage.failing.clear();
    statuses.clear();
    coordinator->revertCorruptFile(broken.id);
    EXPECT_EQ(onDisk(broken), broken);
    EXPECT_TRUE(coordinator->corruptMappingIDs().empty());
    EXPECT_EQ(statuses, kSavedOnce);
    EXPECT_EQ(corruptChanges, (std::vector<CorruptIDs>{expected, {}}));
    EXPECT_EQ(log->count("Reverted corrupt file for mapping " + broken.id.text()), 1u);

    coordinator->reloadFromDisk();
    EXPECT_EQ(log->count("Reload skipped, disk matches last saved state"), 2u);
    EXPECT_EQ(externalChanges.size(), 1u);

    // Nothing is left to revert, and an unknown id has nothing to revert.
    coordinator->revertCorruptFile(broken.id);
    coordinator->revertCorruptFile(Uuid());
    EXPECT_EQ(statuses, kSavedOnce);
}

TEST_F(MappingSyncCoordinatorTest, FlushRewritesAnEditedCorruptMappingButNeverRemovesACorruptFile) {
    auto mappings = loadSeeded();
    const Mapping removed = mappings[0];
    writeFile(fileOf(mappings[0]), "{");
    writeFile(fileOf(mappings[2]), "{");
    coordinator->reloadFromDisk();
    corruptChanges.clear();

    mappings.erase(mappings.begin());
    mappings[1].name = "Edited";
    expectFlush("a removal and an edit", mappings, {"save Edited"}, true,
                "Flushed 1 saved, 0 deleted, orderChanged: true");
    EXPECT_EQ(readFile(fileOf(removed)), "{");
    const CorruptIDs stillCorrupt{{removed.id, CorruptionReason::malformedJSON}};
    EXPECT_EQ(corruptChanges, std::vector<CorruptIDs>{stillCorrupt});
}

TEST_F(MappingSyncCoordinatorTest, RecoveredMappingReturnsBeforeTheNextMappingStillPresent) {
    auto mappings = loadSeeded();  // A B C
    mappings.push_back(renamed(webSurfingMapping(), "D"));
    saveAndWait(mappings);
    // Outside: B breaks and C's file goes away; B must come back before D.
    writeFile(fileOf(mappings[1]), "{");
    std::filesystem::remove(fileOf(mappings[2]));
    coordinator->reloadFromDisk();
    ASSERT_EQ(externalChanges.size(), 1u);
    EXPECT_EQ(externalChanges[0], (List{mappings[0], mappings[1], mappings[3]}));

    // Outside: D's file goes too; a broken last mapping has nothing after it and goes last.
    writeFile(fileOf(mappings[0]), "{");
    std::filesystem::remove(fileOf(mappings[3]));
    coordinator->reloadFromDisk();
    ASSERT_EQ(externalChanges.size(), 2u);
    EXPECT_EQ(externalChanges[1], (List{mappings[0], mappings[1]}));
}

// Ids stay unique: a mapping whose file a copy overwrote is recovered from memory; a broken file
// whose mapping another file still holds is not.
TEST_F(MappingSyncCoordinatorTest, ReloadAfterFilesWereCopiedOrMovedOutsideKeepsEachMappingOnce) {
    const auto mappings = loadSeeded();
    writeFile(fileOf(mappings[1]), writeMappingDocument(mappings[0]));
    writeFile(directory / "moved.json", writeMappingDocument(mappings[2]));
    writeFile(fileOf(mappings[2]), "{");
    coordinator->reloadFromDisk();
    ASSERT_EQ(externalChanges.size(), 1u);
    EXPECT_EQ(externalChanges[0], mappings) << "the same mappings, in the same order";
    EXPECT_EQ(coordinator->corruptMappingIDs(),
              (CorruptIDs{{mappings[1].id, CorruptionReason::duplicateID}}));
    ASSERT_EQ(unrecoverableChanges.size(), 1u);
    ASSERT_EQ(unrecoverableChanges[0].size(), 1u);
    EXPECT_EQ(unrecoverableChanges[0][0].url, fileOf(mappings[2]));

    coordinator->revertCorruptFile(mappings[1].id);
    EXPECT_EQ(onDisk(mappings[1]), mappings[1]);
}

TEST_F(MappingSyncCoordinatorTest, PartialWriteFailuresAreReportedAndRetriedByTheNextFlush) {
    auto mappings = loadSeeded();
    mappings[0].name = "First edit";
    mappings[2].name = "Third edit";
    // Folders squatting on the two file names make the real writes fail.
    for (const auto* mapping : {&mappings[0], &mappings[2]}) {
        std::filesystem::remove(fileOf(*mapping));
        std::filesystem::create_directories(fileOf(*mapping) / "x");
    }
    std::swap(mappings[1], mappings[2]);  // the order changes too

    saveAndWait(mappings);
    const auto reason = [&](const Mapping& m) {
        return m.id.text() + ": Could not replace " + fileOf(m).string() + ": Is a directory";
    };
    EXPECT_EQ(statuses,
              (std::vector<SaveStatus>{
                  SaveStatus::saving(),
                  SaveStatus::error("Failed to persist 2 change(s): save " + reason(mappings[0]) +
                                    "; save " + reason(mappings[1]))}));
    EXPECT_EQ(log->count("Flush partial failure — 0 saved, 0 deleted, 2 failed"), 1u);
    EXPECT_EQ(log->count("Failed to save mapping " + reason(mappings[1])), 1u);
    EXPECT_EQ(storedOrder(), idTexts(mappings)) << "the order is written despite the failures";

    std::filesystem::remove_all(fileOf(mappings[0]));
    std::filesystem::remove_all(fileOf(mappings[1]));
    mappings[2].name = "Later edit";
    // The order counts as unsaved until a flush without failures.
    expectFlush("the retry", mappings, {"save First edit", "save Third edit", "save Later edit"},
                true, "Flushed 3 saved, 0 deleted, orderChanged: true");
}

TEST_F(MappingSyncCoordinatorTest, StatusShowsTheFirstThreeFailuresAndCountsAll) {
    auto mappings = loadSeeded();
    const Mapping removed = mappings[0];
    mappings.erase(mappings.begin());
    for (const char* name : {"New 1", "New 2", "New 3"}) {
        mappings.push_back(renamed(webSurfingMapping(), name));
        storage.failing[mappings.back().id] = "disk full";
    }
    storage.failing[removed.id] = "busy";

    saveAndWait(mappings);
    ASSERT_EQ(statuses.size(), 2u);
    EXPECT_EQ(statuses[1],
              SaveStatus::error("Failed to persist 4 change(s): save " + mappings[2].id.text() +
                                ": disk full; save " + mappings[3].id.text() +
                                ": disk full; save " + mappings[4].id.text() + ": disk full"));
    EXPECT_EQ(log->count("Failed to delete mapping " + removed.id.text() + ": busy"), 1u);
}

TEST_F(MappingSyncCoordinatorTest, ListThatFailedToWriteBlocksAReloadAndIsWrittenByStop) {
    auto mappings = loadSeeded();
    mappings[1].name = "Unsaved";
    storage.failing[mappings[1].id] = "No space left on device";
    saveAndWait(mappings);
    ASSERT_TRUE(statuses.back().is<SaveStatus::Error>());

    coordinator->reloadFromDisk();
    EXPECT_EQ(log->count("Reload aborted — pending save had errors, in-memory state preserved"),
              1u);
    EXPECT_TRUE(externalChanges.empty());

    storage.failing.clear();
    coordinator->stop();
    EXPECT_EQ(onDisk(mappings[1]).name, "Unsaved");
    EXPECT_EQ(statuses.back(), SaveStatus::idle());
}

TEST_F(MappingSyncCoordinatorTest, ReloadOfAFolderThatCannotBeReadKeepsTheList) {
    loadSeeded();
    std::filesystem::rename(directory, folder / "moved");
    writeFile(directory, "a file where the folder should be");
    coordinator->reloadFromDisk();
    EXPECT_TRUE(externalChanges.empty());
    ASSERT_EQ(statuses.size(), 1u);
    ASSERT_TRUE(statuses[0].is<SaveStatus::Error>());
    EXPECT_TRUE(statuses[0].as<SaveStatus::Error>()->text.starts_with(
        "Failed to reload mappings from disk: Could not list"));
    EXPECT_TRUE(coordinator->loadError().has_value());
    EXPECT_EQ(log->count("Reload aborted — mappings folder unreadable, in-memory state preserved"),
              1u);
}

// A first run whose folder cannot be read must not mark the first run done with nothing
// written; the reload after the folder came back seeds instead.
TEST_F(MappingSyncCoordinatorTest, LoadOfAnUnreadableFolderNeitherSeedsNorWritesTheOrder) {
    std::filesystem::remove(directory);
    writeFile(directory, "a file where the folder should be");
    EXPECT_TRUE(coordinator->load().empty());
    EXPECT_TRUE(coordinator->loadError().has_value());
    EXPECT_FALSE(defaults.value(kDidMigrateKey).has_value());
    EXPECT_FALSE(defaults.value(kMappingOrderKey).has_value());
    EXPECT_TRUE(log->contains("Failed to load mappings from disk: Could not list"));

    std::filesystem::remove(directory);
    coordinator->reloadFromDisk();
    ASSERT_EQ(externalChanges.size(), 1u);
    EXPECT_EQ(externalChanges[0].size(), 3u);
    for (const auto& mapping : externalChanges[0])
        EXPECT_EQ(onDisk(mapping), mapping);
    EXPECT_EQ(storedOrder(), idTexts(externalChanges[0]));
    EXPECT_TRUE(defaults.boolean(kDidMigrateKey));
    EXPECT_FALSE(coordinator->loadError().has_value());
}

TEST_F(MappingSyncCoordinatorTest, StopWritesThePendingListAndEndsEverything) {
    auto mappings = loadSeeded();
    mappings[0].name = "Last words";
    coordinator->scheduleSave(mappings);
    coordinator->stop();
    EXPECT_EQ(onDisk(mappings[0]).name, "Last words");
    EXPECT_TRUE(coordinator->isStopped());
    EXPECT_EQ(log->count("Stopping coordinator"), 1u);

    mappings[0].name = "Too late";
    coordinator->scheduleSave(mappings);
    EXPECT_EQ(log->count("scheduleSave ignored — coordinator stopped"), 1u);
    loop.advance(1.0);
    coordinator->reloadFromDisk();
    EXPECT_EQ(onDisk(mappings[0]).name, "Last words");
    EXPECT_TRUE(externalChanges.empty());
}

TEST_F(MappingSyncCoordinatorTest, DestroyedCoordinatorsPendingSaveNeverRuns) {
    auto mappings = loadSeeded();
    mappings[0].name = "Abandoned";
    coordinator->scheduleSave(mappings);
    coordinator.reset();
    loop.advance(1.0);
    EXPECT_TRUE(storage.operations.empty());
}

TEST_F(MappingSyncCoordinatorTest, LoadMigratesLegacyMappingsInsteadOfSeeding) {
    const List legacy{renamed(webSurfingMapping(), "Old 1"),
                      renamed(dragonQuestBuilders1Mapping(), "Old 2")};
    const std::string array =
        "[" + writeMappingDocument(legacy[0]) + "," + writeMappingDocument(legacy[1]) + "]";
    defaults.setValue(kSavedMappingsKey, PreferenceData{array});
    EXPECT_EQ(coordinator->load(), legacy);
    EXPECT_EQ(entryNames(directory).size(), 2u);
    EXPECT_EQ(log->count("Seeded 3 default mappings to disk"), 0u);
    EXPECT_EQ(defaults.data(kSavedMappingsKey)->bytes, array);
}

TEST_F(MappingSyncCoordinatorTest, FailedMigrationIsLoggedAndTheLoadGoesOn) {
    const auto legacy = webSurfingMapping();
    defaults.setValue(kSavedMappingsKey, PreferenceData{"[" + writeMappingDocument(legacy) + "]"});
    std::filesystem::create_directories(fileOf(legacy) / "x");
    coordinator->load();
    EXPECT_TRUE(log->contains("Migration failed: Could not replace"));
    EXPECT_EQ(log->count("Seeded 3 default mappings to disk"), 1u);
}

// A loaded coordinator over a real folder with one edit of the first mapping pending.
struct PendingEdit {
    explicit PendingEdit(const std::string& name) {
        mappings[0].name = name;
        coordinator.scheduleSave(mappings);
    }
    std::string nameOnDisk() const {
        return readMappingDocument(readFile(folder / (mappings[0].id.text() + ".json")))->name;
    }

    TempFolder folder;
    MappingFileStorage storage{folder.path()};
    InMemoryPreferencesStore defaults;
    VirtualMainLoop loop;
    ScopedLogCapture log;
    MappingSyncCoordinator coordinator{storage, defaults, loop, seconds(0.3)};
    List mappings = coordinator.load();
};

TEST(MappingSyncCoordinatorConcurrency, StopFromAnotherThreadWritesThePendingList) {
    PendingEdit pending("Written on the way out");
    std::atomic<bool> returned{false};
    std::thread stopping([&] {
        pending.coordinator.stop();
        returned = true;
    });
    while (!returned)
        pending.loop.runPosted();
    stopping.join();

    EXPECT_TRUE(pending.coordinator.isStopped());
    EXPECT_EQ(pending.nameOnDisk(), "Written on the way out");
    EXPECT_EQ(pending.log->count("stop() called off main thread — hopping to main"), 1u);
    EXPECT_EQ(
        pending.log->count("stop() timed out waiting for main actor — pending save may be lost"),
        0u);
}

TEST(MappingSyncCoordinatorConcurrency, StopFromAnotherThreadGivesUpAfterOneSecond) {
    PendingEdit pending("Late");
    const auto start = std::chrono::steady_clock::now();
    std::thread([&] { pending.coordinator.stop(); }).join();  // the main thread is busy joining
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(1000));
    EXPECT_LT(waited, std::chrono::milliseconds(3000));
    EXPECT_EQ(
        pending.log->count("stop() timed out waiting for main actor — pending save may be lost"),
        1u);

    pending.loop.runPosted();  // the main thread comes back: the late stop still writes
    EXPECT_TRUE(pending.coordinator.isStopped());
    EXPECT_EQ(pending.nameOnDisk(), "Late");
}

}  // namespace
}  // namespace joywright
