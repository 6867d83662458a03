#include "persistence/MappingSyncCoordinator.hpp"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <unordered_set>

#include "persistence/PreferenceKeys.hpp"
#include "support/Log.hpp"

namespace joywright {

namespace {

long count(std::size_t n) {
    return static_cast<long>(n);
}

std::vector<Uuid> idsOf(const std::vector<Mapping>& mappings) {
    std::vector<Uuid> ids;
    ids.reserve(mappings.size());
    for (const auto& mapping : mappings)
        ids.push_back(mapping.id);
    return ids;
}

std::unordered_map<Uuid, Mapping> keyedByID(const std::vector<Mapping>& mappings) {
    std::unordered_map<Uuid, Mapping> keyed;
    keyed.reserve(mappings.size());
    for (const auto& mapping : mappings)
        keyed.emplace(mapping.id, mapping);
    return keyed;
}

// What a thread calling stop() waits on while the main thread stops the coordinator.
struct StopSignal {
    std::mutex mutex;
    std::condition_variable done;
    bool signalled = false;

    void signal() {
        {
            std::lock_guard lock(mutex);
            signalled = true;
        }
        done.notify_all();
    }
    bool waitFor(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex);
        return done.wait_for(lock, timeout, [this] { return signalled; });
    }
};

constexpr std::chrono::milliseconds kStopTimeout{1000};
constexpr std::size_t kFailuresShown = 3;

}  // namespace

MappingSyncCoordinator::MappingSyncCoordinator(MappingStorage& store, PreferencesStore& defaults,
                                               MainLoop& loop, MainLoop::Duration debounceDuration)
    : store_(store),
      defaults_(defaults),
      loop_(loop),
      debounceDuration_(debounceDuration),
      self_(std::make_shared<MappingSyncCoordinator*>(this)) {}

MappingSyncCoordinator::~MappingSyncCoordinator() = default;

void MappingSyncCoordinator::report(const SaveStatus& status) {
    if (onSaveStatusChanged) onSaveStatusChanged(status);
}

void MappingSyncCoordinator::saveOrder(const std::vector<Uuid>& ids) {
    std::vector<std::string> texts;
    texts.reserve(ids.size());
    for (const auto& id : ids)
        texts.push_back(id.text());
    defaults_.setValue(kMappingOrderKey, std::move(texts));
}

std::vector<Mapping> MappingSyncCoordinator::load() {
    if (auto migrated = store_.migrateLegacyMappings(defaults_); !migrated) {
        JW_LOG_ERROR(backup, "Migration failed: %s", migrated.error().c_str());
    }
    Normalized normalized = loadAndNormalize();
    std::vector<Mapping> mappings = std::move(normalized.mappings);
    // Seeding after a folder that could not be read would mark the first run as done with
    // nothing written; the next launch seeds instead.
    if (!defaults_.boolean(kDidMigrateKey) && !normalized.readFailed) {
        mappings = seedDefaults(mappings);
    }
    lastSavedMappings_ = keyedByID(mappings);
    lastSavedOrder_ = idsOf(mappings);
    corruptMappingIDs_ = std::move(normalized.corruptMappingIDs);
    unrecoverableCorruptFiles_ = std::move(normalized.unrecoverableCorruptFiles);
    JW_LOG_INFO(backup, "Loaded %ld mappings", count(mappings.size()));
    return mappings;
}

MappingSyncCoordinator::Normalized MappingSyncCoordinator::loadAndNormalize() {
    Normalized result;
    auto loaded = store_.loadAll(defaults_);
    if (!loaded) {
        JW_LOG_ERROR(backup, "Failed to load mappings from disk: %s", loaded.error().c_str());
        loadError_ = loaded.error();
        result.readFailed = true;
        return result;
    }
    loadError_.reset();

    // Keyed by id; a repeated id keeps its first mapping.
    std::unordered_map<Uuid, const Mapping*> byID;
    std::vector<const Mapping*> listing;
    for (const auto& mapping : loaded->mappings) {
        if (byID.emplace(mapping.id, &mapping).second) listing.push_back(&mapping);
    }

    std::vector<Uuid> storedOrder;
    for (const auto& text :
         defaults_.stringList(kMappingOrderKey).value_or(std::vector<std::string>{})) {
        if (auto id = Uuid::parse(text)) storedOrder.push_back(*id);
    }

    // The stored order first (an id named twice keeps its first place), then the rest in
    // listing order.
    std::vector<Uuid> ordered;
    std::unordered_set<Uuid> seen;
    for (const auto& id : storedOrder) {
        if (byID.contains(id) && seen.insert(id).second) ordered.push_back(id);
    }
    const std::size_t placedByOrder = ordered.size();
    for (const auto* mapping : listing) {
        if (seen.insert(mapping->id).second) ordered.push_back(mapping->id);
    }
    if (ordered.size() > placedByOrder) {
        JW_LOG_INFO(backup, "Order normalized: %ld orphaned mappings appended",
                    count(ordered.size() - placedByOrder));
    }
    if (storedOrder.size() > placedByOrder) {
        JW_LOG_DEBUG(backup, "Skipped %ld stale order entries",
                     count(storedOrder.size() - placedByOrder));
    }

    // Corrupt files whose mapping this coordinator last saw are served from that copy. A file
    // whose id another file on disk still holds, or that a first corrupt file already
    // recovered, cannot be: ids must stay unique.
    std::unordered_map<Uuid, const Mapping*> recovered;
    std::vector<Uuid> recoveredOrder;
    for (auto& file : loaded->corruptFiles) {
        const auto saved =
            file.mappingID ? lastSavedMappings_.find(*file.mappingID) : lastSavedMappings_.end();
        if (saved == lastSavedMappings_.end() || byID.contains(saved->first) ||
            recovered.contains(saved->first)) {
            result.unrecoverableCorruptFiles.push_back(std::move(file));
            continue;
        }
        result.corruptMappingIDs[saved->first] = file.reason;
        recovered.emplace(saved->first, &saved->second);
        recoveredOrder.push_back(saved->first);
    }

    // Each recovered mapping goes back just before the first mapping that followed it in the
    // last saved order and is still present, or at the end.
    for (const auto& id : recoveredOrder) {
        auto position = ordered.end();
        const auto inSaved = std::find(lastSavedOrder_.begin(), lastSavedOrder_.end(), id);
        if (inSaved != lastSavedOrder_.end()) {
            for (auto next = std::next(inSaved); next != lastSavedOrder_.end(); ++next) {
                const auto found = std::find(ordered.begin(), ordered.end(), *next);
                if (found != ordered.end()) {
                    position = found;
                    break;
                }
            }
        }
        ordered.insert(position, id);
    }

    saveOrder(ordered);

    result.mappings.reserve(ordered.size());
    for (const auto& id : ordered) {
        const auto fromDisk = byID.find(id);
        result.mappings.push_back(fromDisk != byID.end() ? *fromDisk->second : *recovered.at(id));
    }
    std::sort(result.unrecoverableCorruptFiles.begin(), result.unrecoverableCorruptFiles.end(),
              [](const CorruptFile& a, const CorruptFile& b) {
                  return a.url.filename().native() < b.url.filename().native();
              });
    return result;
}

std::vector<Mapping> MappingSyncCoordinator::seedDefaults(const std::vector<Mapping>& mappings) {
    std::vector<Mapping> written;
    for (const auto& mapping : mappings) {
        if (auto failure = store_.save(mapping)) {
            JW_LOG_ERROR(backup, "Failed to seed default mapping '%s': %s", mapping.name.c_str(),
                         failure->c_str());
            continue;
        }
        written.push_back(mapping);
    }
    saveOrder(idsOf(written));
    defaults_.setValue(kDidMigrateKey, true);
    if (written.size() == mappings.size()) {
        JW_LOG_DEFAULT(backup, "Seeded %ld default mappings to disk", count(written.size()));
    } else {
        JW_LOG_ERROR(backup, "Seeded %ld/%ld default mappings to disk (%ld failed)",
                     count(written.size()), count(mappings.size()),
                     count(mappings.size() - written.size()));
    }
    return written;
}

void MappingSyncCoordinator::scheduleSave(std::vector<Mapping> mappings) {
    if (isStopped_) {
        JW_LOG_DEBUG(backup, "scheduleSave ignored — coordinator stopped");
        return;
    }
    if (isReloading_) {
        JW_LOG_DEBUG(backup, "scheduleSave suppressed during reload");
        return;
    }
    saveTask_.cancel();
    pendingSnapshot_ = std::move(mappings);
    saveTask_ = loop_.schedule(debounceDuration_, [weak = std::weak_ptr(self_)] {
        if (const auto self = weak.lock()) (*self)->drainPending();
    });
}

void MappingSyncCoordinator::drainPending() {
    if (isDraining_ || isStopped_) return;
    isDraining_ = true;
    if (pendingSnapshot_) {
        std::vector<Mapping> mappings = std::move(*pendingSnapshot_);
        pendingSnapshot_.reset();
        // A list that failed to write stays pending, so that stop() and a reload still try it
        // when no further edit comes.
        if (flush(mappings) && !pendingSnapshot_) pendingSnapshot_ = std::move(mappings);
    }
    isDraining_ = false;
}

bool MappingSyncCoordinator::flush(const std::vector<Mapping>& mappings) {
    std::unordered_map<Uuid, const Mapping*> byID;
    std::vector<Uuid> order;
    for (const auto& mapping : mappings) {
        if (byID.emplace(mapping.id, &mapping).second) order.push_back(mapping.id);
    }

    std::vector<const Mapping*> toSave;
    for (const auto& id : order) {
        const Mapping& mapping = *byID.at(id);
        const auto saved = lastSavedMappings_.find(id);
        if (saved == lastSavedMappings_.end() || !(saved->second == mapping)) {
            toSave.push_back(&mapping);
        }
    }
    // A mapping whose file is corrupt never has that file removed here.
    std::vector<Uuid> toDelete;
    for (const auto& [id, mapping] : lastSavedMappings_) {
        if (!byID.contains(id) && !corruptMappingIDs_.contains(id)) toDelete.push_back(id);
    }
    // Byte order of ids is the order of their canonical texts.
    std::sort(toDelete.begin(), toDelete.end());
    const bool orderChanged = order != lastSavedOrder_;

    if (toSave.empty() && toDelete.empty() && !orderChanged) {
        JW_LOG_DEBUG(backup, "Flush skipped, no changes");
        return false;
    }
    report(SaveStatus::saving());

    std::vector<std::string> failures;
    std::vector<Uuid> saved;
    std::vector<Uuid> deleted;
    for (const auto* mapping : toSave) {
        const std::string idText = mapping->id.text();
        if (auto failure = store_.save(*mapping)) {
            JW_LOG_ERROR(backup, "Failed to save mapping %s: %s", idText.c_str(), failure->c_str());
            failures.push_back("save " + idText + ": " + *failure);
        } else {
            saved.push_back(mapping->id);
        }
    }
    for (const auto& id : toDelete) {
        const std::string idText = id.text();
        if (auto failure = store_.deleteMapping(id)) {
            JW_LOG_ERROR(backup, "Failed to delete mapping %s: %s", idText.c_str(),
                         failure->c_str());
            failures.push_back("delete " + idText + ": " + *failure);
        } else {
            deleted.push_back(id);
        }
    }
    if (orderChanged) saveOrder(order);

    // Only what reached the disk counts as saved; what failed stays different and is retried.
    for (const auto& id : saved)
        lastSavedMappings_.insert_or_assign(id, *byID.at(id));
    for (const auto& id : deleted)
        lastSavedMappings_.erase(id);
    if (failures.empty()) lastSavedOrder_ = std::move(order);

    bool corruptChanged = false;
    for (const auto& id : saved)
        corruptChanged |= corruptMappingIDs_.erase(id) > 0;
    if (corruptChanged && onCorruptMappingsChanged) onCorruptMappingsChanged(corruptMappingIDs_);

    if (failures.empty()) {
        report(SaveStatus::idle());
        JW_LOG_INFO(backup, "Flushed %ld saved, %ld deleted, orderChanged: %s", count(saved.size()),
                    count(deleted.size()), orderChanged ? "true" : "false");
        return false;
    }
    std::string text = "Failed to persist " + std::to_string(failures.size()) + " change(s): ";
    for (std::size_t i = 0; i < failures.size() && i < kFailuresShown; ++i) {
        if (i > 0) text += "; ";
        text += failures[i];
    }
    report(SaveStatus::error(std::move(text)));
    JW_LOG_ERROR(backup, "Flush partial failure — %ld saved, %ld deleted, %ld failed",
                 count(saved.size()), count(deleted.size()), count(failures.size()));
    return true;
}

void MappingSyncCoordinator::reloadFromDisk() {
    if (isStopped_) return;
    if (pendingSnapshot_) {
        std::vector<Mapping> mappings = std::move(*pendingSnapshot_);
        pendingSnapshot_.reset();
        saveTask_.cancel();
        if (flush(mappings)) {
            pendingSnapshot_ = std::move(mappings);
            JW_LOG_ERROR(backup,
                         "Reload aborted — pending save had errors, in-memory state preserved");
            return;
        }
    }

    Normalized normalized = loadAndNormalize();
    // A folder that cannot be read says nothing about the mappings in it; showing an empty list
    // would only hide them.
    if (normalized.readFailed) {
        JW_LOG_ERROR(backup,
                     "Reload aborted — mappings folder unreadable, in-memory state preserved");
        report(
            SaveStatus::error("Failed to reload mappings from disk: " + loadError_.value_or("")));
        return;
    }
    // A first run whose folder could not be read at load time seeds now, so that what the reload
    // reports as saved is on disk.
    if (!defaults_.boolean(kDidMigrateKey)) {
        normalized.mappings = seedDefaults(normalized.mappings);
    }
    auto keyed = keyedByID(normalized.mappings);
    auto order = idsOf(normalized.mappings);
    if (keyed == lastSavedMappings_ && order == lastSavedOrder_ &&
        normalized.corruptMappingIDs == corruptMappingIDs_ &&
        normalized.unrecoverableCorruptFiles == unrecoverableCorruptFiles_) {
        JW_LOG_DEBUG(backup, "Reload skipped, disk matches last saved state");
        return;
    }

    lastSavedMappings_ = std::move(keyed);
    lastSavedOrder_ = std::move(order);
    corruptMappingIDs_ = std::move(normalized.corruptMappingIDs);
    unrecoverableCorruptFiles_ = std::move(normalized.unrecoverableCorruptFiles);
    isReloading_ = true;
    if (onExternalChange) onExternalChange(normalized.mappings);
    if (onCorruptMappingsChanged) onCorruptMappingsChanged(corruptMappingIDs_);
    if (onUnrecoverableCorruptFilesChanged) {
        onUnrecoverableCorruptFilesChanged(unrecoverableCorruptFiles_);
    }
    JW_LOG_INFO(backup, "Reloaded %ld mappings from disk (external change detected)",
                count(normalized.mappings.size()));
    isReloading_ = false;
}

void MappingSyncCoordinator::revertCorruptFile(const Uuid& id) {
    const auto saved = lastSavedMappings_.find(id);
    if (!corruptMappingIDs_.contains(id) || saved == lastSavedMappings_.end()) return;
    report(SaveStatus::saving());
    if (auto failure = store_.save(saved->second)) {
        JW_LOG_ERROR(backup, "Failed to revert corrupt mapping %s: %s", id.text().c_str(),
                     failure->c_str());
        report(SaveStatus::error(*failure));
        return;
    }
    corruptMappingIDs_.erase(id);
    report(SaveStatus::idle());
    if (onCorruptMappingsChanged) onCorruptMappingsChanged(corruptMappingIDs_);
    JW_LOG_DEFAULT(backup, "Reverted corrupt file for mapping %s", id.text().c_str());
}

void MappingSyncCoordinator::stop() {
    if (loop_.isMainThread()) {
        stopOnMain();
        return;
    }
    JW_LOG_ERROR(backup, "stop() called off main thread — hopping to main");
    auto signal = std::make_shared<StopSignal>();
    loop_.post([weak = std::weak_ptr(self_), signal] {
        if (const auto self = weak.lock()) (*self)->stopOnMain();
        signal->signal();
    });
    if (!signal->waitFor(kStopTimeout)) {
        JW_LOG_ERROR(backup, "stop() timed out waiting for main actor — pending save may be lost");
    }
}

void MappingSyncCoordinator::stopOnMain() {
    JW_LOG_DEFAULT(backup, "Stopping coordinator");
    isStopped_ = true;
    saveTask_.cancel();
    if (pendingSnapshot_) {
        std::vector<Mapping> mappings = std::move(*pendingSnapshot_);
        pendingSnapshot_.reset();
        flush(mappings);
    }
}

}  // namespace joywright
