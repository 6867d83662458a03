#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/Mapping.hpp"
#include "persistence/CorruptFile.hpp"
#include "persistence/MappingStorage.hpp"
#include "persistence/PreferencesStore.hpp"
#include "persistence/SaveStatus.hpp"
#include "support/MainLoop.hpp"

namespace joywright {

// Keeps the mappings folder and the user's list of mappings in step. The owner loads once, then
// hands over the whole list after every edit; `debounceDuration` after the last edit (0.3 s in
// the application) the coordinator writes only what changed since its last successful write:
// changed documents, removed documents and the order ("MappingOrder"). Failures never throw:
// they become an `error` SaveStatus and log lines (category "backup"), and what failed stays
// pending, so the next flush, a reload or stop() tries it again.
//
// Main thread only, except stop(). The store, preferences and loop must outlive the coordinator.
class MappingSyncCoordinator {
public:
    using CorruptMappingIDs = std::map<Uuid, CorruptionReason>;

    MappingSyncCoordinator(MappingStorage& store, PreferencesStore& defaults, MainLoop& loop,
                           MainLoop::Duration debounceDuration);
    ~MappingSyncCoordinator();
    MappingSyncCoordinator(const MappingSyncCoordinator&) = delete;
    MappingSyncCoordinator& operator=(const MappingSyncCoordinator&) = delete;

    // Migrates legacy data, reads the folder, puts the mappings in the stored order (writing the
    // corrected order back) and seeds the defaults on a first run. Returns the mappings in display
    // order; fires no callbacks (read corruptMappingIDs() and unrecoverableCorruptFiles() after).
    std::vector<Mapping> load();

    // The complete current list, in display order. Re-arms the debounce; ignored once stopped and
    // while reload callbacks run.
    void scheduleSave(std::vector<Mapping> mappings);

    // Writes any pending list, then reads the folder again and reports what changed outside
    // through the callbacks. A pending list that fails to write keeps the in-memory state.
    void reloadFromDisk();

    // Rewrites the file of a mapping served from memory because its file is corrupt.
    void revertCorruptFile(const Uuid& id);

    // Writes any pending list and stops for good. Any thread: off the main thread it waits at most
    // one second for the main thread to do it.
    void stop();

    // Mappings whose file is corrupt but that are served from the in-memory copy.
    const CorruptMappingIDs& corruptMappingIDs() const { return corruptMappingIDs_; }
    // Corrupt files with no in-memory copy, sorted by file name.
    const std::vector<CorruptFile>& unrecoverableCorruptFiles() const {
        return unrecoverableCorruptFiles_;
    }
    // Why the last load or reload could not read the folder at all; none when it could.
    const std::optional<std::string>& loadError() const { return loadError_; }
    bool isStopped() const { return isStopped_; }

    // After a reload that found changes: the new list, in display order.
    std::function<void(const std::vector<Mapping>&)> onExternalChange;
    std::function<void(const SaveStatus&)> onSaveStatusChanged;
    // After corruptMappingIDs() changes outside load().
    std::function<void(const CorruptMappingIDs&)> onCorruptMappingsChanged;
    // After a reload that found changes.
    std::function<void(const std::vector<CorruptFile>&)> onUnrecoverableCorruptFilesChanged;

private:
    struct Normalized {
        std::vector<Mapping> mappings;
        CorruptMappingIDs corruptMappingIDs;
        std::vector<CorruptFile> unrecoverableCorruptFiles;
        bool readFailed = false;
    };

    Normalized loadAndNormalize();
    std::vector<Mapping> seedDefaults(const std::vector<Mapping>& mappings);
    void drainPending();
    // True when any write failed.
    bool flush(const std::vector<Mapping>& mappings);
    void saveOrder(const std::vector<Uuid>& ids);
    void stopOnMain();
    void report(const SaveStatus& status);

    MappingStorage& store_;
    PreferencesStore& defaults_;
    MainLoop& loop_;
    MainLoop::Duration debounceDuration_;
    TaskHandle saveTask_;
    bool isDraining_ = false;
    bool isStopped_ = false;
    std::unordered_map<Uuid, Mapping> lastSavedMappings_;
    std::vector<Uuid> lastSavedOrder_;
    CorruptMappingIDs corruptMappingIDs_;
    std::vector<CorruptFile> unrecoverableCorruptFiles_;
    bool isReloading_ = false;
    std::optional<std::vector<Mapping>> pendingSnapshot_;
    std::optional<std::string> loadError_;
    // Tasks posted to the loop hold this weakly and do nothing once the coordinator is gone.
    std::shared_ptr<MappingSyncCoordinator*> self_;
};

}  // namespace joywright
