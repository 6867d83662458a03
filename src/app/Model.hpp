#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/AutoEnableMode.hpp"
#include "app/ModelProperty.hpp"
#include "app/Observers.hpp"
#include "app/Preferences.hpp"
#include "app/RunState.hpp"
#include "app/SidebarSelection.hpp"
#include "app/TrustQuery.hpp"
#include "app/UpdateDismissal.hpp"
#include "app/UpdateSource.hpp"
#include "controller/ControllerDisplayInfo.hpp"
#include "controller/ControllerSettings.hpp"
#include "engine/ResponseCurve.hpp"
#include "engine/RunnerControlling.hpp"
#include "model/InputName.hpp"
#include "model/Mapping.hpp"
#include "model/Output.hpp"
#include "persistence/CorruptFile.hpp"
#include "persistence/MappingStorage.hpp"
#include "persistence/MappingSyncCoordinator.hpp"
#include "persistence/PreferencesStore.hpp"
#include "persistence/SaveStatus.hpp"
#include "support/Expected.hpp"
#include "support/MainLoop.hpp"

namespace joywright {

class Gamepad;

// What the model is made with. Every reference must outlive the Model.
//
//   Model model({.preferences = prefs, .loop = loop, .runner = runner, .trust = trust,
//                .updateSource = &source, .localVersion = "1.4.2"});
struct ModelDependencies {
    PreferencesStore& preferences;
    MainLoop& loop;
    // The output engine; the model drives it only through this interface.
    RunnerControlling& runner;
    TrustQuery& trust;
    // Where releases are looked up; none (or no localVersion) skips the update check.
    UpdateSource* updateSource = nullptr;
    // The application's own version text ("1.4.2").
    std::optional<std::string> localVersion{};
    // The wall clock used for update dismissals; WallClock::now when empty.
    std::function<WallClock::time_point()> now{};
    // True for builds that update themselves (Flatpak, Snap): no update check. False when empty.
    std::function<bool()> isAppStoreBuild{};
    // The mapping store. When null (and there is no initialMappings) the model opens a
    // MappingFileStorage over mappingsDirectory().
    MappingStorage* storage = nullptr;
    // A fixed starting list, for previews and tests: no store, nothing saved.
    std::optional<std::vector<Mapping>> initialMappings{};
};

// The one observable state object of the application: the mappings and their indexes, the
// window's selection, the connected controller, the running mapping, the user's choices, the
// permission state, the save and corruption status of the mappings folder, and the update
// notice. The user interface reads it and changes it only through the setters and operations
// below; the shell feeds it focus, window visibility and controller connects and disconnects.
//
// Observation: observe() registers a callback that receives the property that changed, once per
// actual change, after the model is consistent again. Writing a value equal to the current one
// still runs the write's side effect but notifies nobody.
//
// Main thread only, everything. Tasks the model schedules (trust polling, update check, input
// scans, the coordinator's saves) do nothing once the model is gone.
class Model {
public:
    using CorruptMappingIDs = MappingSyncCoordinator::CorruptMappingIDs;
    using Subscription = Observers<ModelProperty>::Subscription;

    // Debounce of mapping saves.
    static constexpr double kSaveDebounceSeconds = 0.3;
    // Trust polling pauses, seconds.
    static constexpr double kUntrustedPollInterval = 1.0;
    static constexpr double kTrustedPollInterval = 10.0;

    // In order: initial values (isTrusted asked once); the preferences "responseCurve",
    // "autoEnableMode", "lastUsedMappingId", "controllerSettings", "updateDismissal" (each one
    // that decodes assigned through its setter, so saved ones are written back canonically); the
    // mappings (initial list, or the store through a coordinator with a 0.3 s debounce, or the
    // default mappings in memory when no store opens: "Failed to initialize MappingFileStorage:
    // <reason>"); the first mapping selected; trust polling and the update check started.
    explicit Model(ModelDependencies dependencies);
    // Cancels polling and the update check, removes the handlers the model installed on its
    // controllers and stops the coordinator (writing pending edits) if shutdown() has not.
    ~Model();
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    // ---- Observation

    [[nodiscard]] Subscription observe(std::function<void(ModelProperty)> observer);

    // ---- Observable properties

    bool mainWindowIsVisible() const { return mainWindowIsVisible_; }
    bool appIsFocused() const { return appIsFocused_; }
    const std::shared_ptr<Gamepad>& gamepad() const { return gamepad_; }
    // Taken from the gamepad when it is set (battery level at connection time).
    const std::optional<ControllerDisplayInfo>& controllerDisplayInfo() const {
        return controllerDisplayInfo_;
    }
    const std::optional<SidebarSelection>& selection() const { return selection_; }
    // In display order; ids are unique.
    const std::vector<Mapping>& mappings() const { return mappings_; }
    std::optional<InputName> selectedInputId() const { return selectedInputId_; }
    bool isTrusted() const { return isTrusted_; }
    const std::optional<AppStoreRelease>& availableUpdate() const { return availableUpdate_; }
    const SaveStatus& saveStatus() const { return saveStatus_; }
    // Mappings served from memory because their file is corrupt.
    const CorruptMappingIDs& corruptMappingIDs() const { return corruptMappingIDs_; }
    // Corrupt files with no in-memory copy.
    const std::vector<CorruptFile>& unrecoverableCorruptFiles() const {
        return unrecoverableCorruptFiles_;
    }
    // Why the mappings folder could not be read (at load or the last reload); none when it could.
    const std::optional<std::string>& loadError() const { return loadError_; }
    const RunState& runState() const { return runState_; }
    // The key recorder takes the next key typed as the selected input's combo.
    bool recordOnce() const { return recordOnce_; }
    bool useRelativeMouse() const { return useRelativeMouse_; }
    const ResponseCurve& responseCurve() const { return responseCurve_; }
    const AutoEnableMode& autoEnableMode() const { return autoEnableMode_; }
    // The mapping started most recently.
    std::optional<Uuid> lastUsedMappingId() const { return lastUsedMappingId_; }
    bool autoScan() const { return autoScan_; }
    bool showUnassigned() const { return showUnassigned_; }
    const ControllerSettingsDictionary& controllerSettingsDict() const {
        return controllerSettingsDict_;
    }

    // ---- Other state

    const std::optional<UpdateDismissal>& updateDismissal() const { return updateDismissal_; }
    // False when the store could not be opened or after shutdown(): edits are not saved.
    bool hasPersistence() const { return persistence_ != nullptr; }
    bool hasShutDown() const { return hasShutDown_; }

    // ---- Derived reads

    std::optional<Mapping> mapping(const Uuid& id) const;
    // The mapping, or an "(Untitled)" mapping with every input noop under that id, for bindings
    // that must always show something.
    Mapping mappingOrUntitled(const Uuid& id) const;
    // Position in mappings().
    std::optional<std::size_t> mappingIndex(const Uuid& id) const;
    // The id when a mapping is selected.
    std::optional<Uuid> selectedMappingId() const;
    std::optional<Mapping> selectedMapping() const;
    // specific(id): id; lastUsed: lastUsedMappingId(); none: none.
    std::optional<Uuid> autoEnableTargetId() const;
    std::optional<Uuid> runningMappingId() const;
    // The stored settings of the connected controller, or the defaults.
    ControllerSettings currentControllerSettings() const;
    // The mappings folder and a mapping's file in it; none without persistence.
    std::optional<std::filesystem::path> mappingsFolder() const;
    std::optional<std::filesystem::path> mappingFile(const Uuid& id) const;

    // ---- Setters of the observable properties the user interface and shell write

    void setMainWindowIsVisible(bool visible);
    // Clears recordOnce, then starts (true) or stops (false) the input scanner.
    void setAppIsFocused(bool focused);
    // Clears recordOnce; starts the scanner when a mapping is selected, else stops it.
    void setSelection(std::optional<SidebarSelection> selection);
    // Rebuilds the indexes, schedules a save, and keeps a running mapping in step: stops it when
    // it is gone, re-installs it (and turns autoScan off) when it was edited.
    void setMappings(std::vector<Mapping> mappings);
    // A change clears recordOnce.
    void setSelectedInputId(std::optional<InputName> input);
    void setRecordOnce(bool on);
    // Copied to the engine, whose relative motion accumulator is zeroed.
    void setUseRelativeMouse(bool on);
    // Saved ("responseCurve"), then copied to the engine.
    void setResponseCurve(const ResponseCurve& curve);
    // Saved ("autoEnableMode").
    void setAutoEnableMode(const AutoEnableMode& mode);
    // Saved ("lastUsedMappingId"), or the key removed for none.
    void setLastUsedMappingId(std::optional<Uuid> id);
    // Starts (true) or stops (false) the input scanner.
    void setAutoScan(bool on);
    void setShowUnassigned(bool on);

    // ---- Run control

    // Starts `mapping`, or switches the running mapping to it (engine reset, no stop). Without a
    // gamepad logs "Attempted to start mapping with no gamepad connected" and changes nothing.
    void startMapping(const Mapping& mapping);
    // While running: engine reset, handlers installed from `mapping`, runState running(mapping).
    // Nothing while idle.
    void replaceRunningMapping(const Mapping& mapping);
    // Stops the engine (releasing everything held), empties its frame, runState idle, and starts
    // the scanner when a gamepad is present.
    void stopMapping();
    // Installs `mapping`'s element handlers on the gamepad with its controller's settings (and
    // removes them from a controller that is no longer the model's); "No gamepad" without one.
    void attachHandlers(const Mapping& mapping);

    // ---- Mapping list

    // Add at the end / directly after `after` (at the end when none or unknown). A mapping whose
    // id is already present gets a fresh one. Returns the id stored.
    Uuid appendMapping(Mapping mapping);
    Uuid insertMapping(Mapping mapping, std::optional<Uuid> after);
    // Removes it. Resets a specific auto-enable target; stops the engine if it ran this mapping.
    // When it was selected, the previous one (or the first) is selected, and an empty list gets
    // a new "(Untitled)" mapping, selected.
    void deleteMapping(const Uuid& id);
    // Replaces the stored mapping with the same id; nothing when unknown or unchanged.
    void updateMapping(const Mapping& mapping);
    // In the selected mapping: the first entry for `input` gets `output`, and `input` becomes the
    // selected input. Nothing without a selected mapping or entry.
    void setOutput(const Output& output, InputName input);
    // In the selected mapping: every moveMouse output's speed (moveMouse), or every continuous
    // scrollMouse output's speed (scrollMouse), becomes `speed`.
    void setGlobalSpeed(float speed, MouseSpeedCategory category);

    // ---- Commands of the menus and the sidebar (each selects what it adds)

    // "New mapping": an "(Untitled)" mapping after the selected mapping (or at the end).
    Uuid addUntitledMapping();
    // "Clone": a copy (new id, " copy" name rule) right after the source; none for an unknown id.
    std::optional<Uuid> cloneMapping(const Uuid& source);
    // "Blank": newBlankMapping() ("Untitled mapping N") at the end.
    Uuid addBlankMapping();
    // "Examples" and other ready-made mappings: appended with a fresh id.
    Uuid addMapping(Mapping mapping);
    // "Import": the document in `text` appended with a fresh id; on failure the text to show
    // ("Invalid text encoding.", "Failed to parse JSON: ...") and nothing changes.
    Expected<Uuid, std::string> importMapping(std::string_view text);

    // ---- Controller

    // Logs "Gamepad connected: <category>", makes it the gamepad (the latest connect wins), then
    // auto-enables.
    void gamepadConnected(std::shared_ptr<Gamepad> gamepad);
    // Only for the model's own gamepad (same object): logs "Gamepad disconnected: <category>",
    // clears the gamepad and stops the running mapping. Others are ignored.
    void gamepadDisconnected(const std::shared_ptr<Gamepad>& gamepad);
    // Stores one controller's settings, saves the whole dictionary ("controllerSettings") and
    // re-installs a running mapping so they take effect at once.
    void updateControllerSettings(const ControllerSettings& settings,
                                  const ControllerDisplayInfo& controller);

    // Input scanner: installs the gamepad-wide scan handler on `gamepad` (or the model's) when
    // autoScan is on, the app is focused and none is installed; stopScanner() removes it.
    void startScanner(std::shared_ptr<Gamepad> gamepad = nullptr);
    void stopScanner();
    // Whether the scan handler is on the model's gamepad (the shell may pump controller events
    // faster meanwhile).
    bool isScanning() const;

    // ---- Mappings folder

    // Writes pending edits, reads the folder again and takes what changed outside.
    void reloadFromDisk();
    // Rewrites a corrupt file from the in-memory mapping.
    void revertCorruptFile(const Uuid& id);
    // Drops an entry of unrecoverableCorruptFiles() (after the user trashed the file).
    void removeUnrecoverableCorruptFile(const std::filesystem::path& file);

    // ---- Update

    // Records a dismissal of availableUpdate() ("updateDismissal") and clears it.
    void dismissUpdate();

    // Once: stops the engine, cancels the update check, stops the coordinator (writing pending
    // edits) and drops it; logs "Model shut down". Later calls log
    // "shutdown() already called, skipping".
    void shutdown();

private:
    void notify(ModelProperty property);
    void loadPreferences();
    void loadMappings(ModelDependencies& dependencies);
    void adoptCoordinator(std::unique_ptr<MappingSyncCoordinator> coordinator);
    void rebuildIndexes();
    void setGamepad(std::shared_ptr<Gamepad> gamepad);
    void setIsTrusted(bool trusted);
    void setAvailableUpdate(std::optional<AppStoreRelease> release);
    void setSaveStatus(const SaveStatus& status);
    void setCorruptMappingIDs(const CorruptMappingIDs& ids);
    void setUnrecoverableCorruptFiles(const std::vector<CorruptFile>& files);
    void setLoadError(const std::optional<std::string>& error);
    void setRunState(RunState state);
    void autoEnable();
    void handleScan(InputName input);
    void startTrustPolling();
    void pollTrust();
    void startUpdateCheck();
    void checkForUpdate();
    void finishUpdateCheck(const std::optional<AppStoreRelease>& release);
    void cancelUpdateCheck();
    Uuid freshId(Uuid id) const;

    // Collaborators.
    Preferences preferences_;
    MainLoop& loop_;
    RunnerControlling& runner_;
    TrustQuery& trust_;
    UpdateSource* updateSource_;
    std::optional<std::string> localVersion_;
    std::function<WallClock::time_point()> now_;
    std::function<bool()> isAppStoreBuild_;
    std::unique_ptr<MappingStorage> ownedStorage_;
    MappingStorage* storage_ = nullptr;
    std::unique_ptr<MappingSyncCoordinator> persistence_;

    // Observable state.
    bool mainWindowIsVisible_ = true;
    bool appIsFocused_ = false;
    std::shared_ptr<Gamepad> gamepad_;
    std::optional<ControllerDisplayInfo> controllerDisplayInfo_;
    std::optional<SidebarSelection> selection_;
    std::vector<Mapping> mappings_;
    std::optional<InputName> selectedInputId_;
    bool isTrusted_ = false;
    std::optional<AppStoreRelease> availableUpdate_;
    SaveStatus saveStatus_ = SaveStatus::idle();
    CorruptMappingIDs corruptMappingIDs_;
    std::vector<CorruptFile> unrecoverableCorruptFiles_;
    std::optional<std::string> loadError_;
    RunState runState_;
    bool recordOnce_ = false;
    bool useRelativeMouse_ = false;
    ResponseCurve responseCurve_ = ResponseCurve::exponential(2.0);
    AutoEnableMode autoEnableMode_;
    std::optional<Uuid> lastUsedMappingId_;
    bool autoScan_ = false;
    bool showUnassigned_ = true;
    ControllerSettingsDictionary controllerSettingsDict_;

    // Other state.
    std::unordered_map<Uuid, std::size_t> mappingIndexById_;
    std::optional<UpdateDismissal> updateDismissal_;
    bool hasShutDown_ = false;
    TaskHandle trustCheckTask_;
    TaskHandle updateCheckTask_;
    // Identifies the update check in flight; a completion for another (or none) does nothing.
    std::uint64_t updateCheckGeneration_ = 0;
    bool updateCheckInFlight_ = false;
    // The gamepad the running mapping's handlers were last installed on.
    std::weak_ptr<Gamepad> handlersGamepad_;
    Observers<ModelProperty> observers_;
    // Tasks and handlers hold this weakly and do nothing once the model is gone.
    std::shared_ptr<Model*> self_;
};

}  // namespace joywright
