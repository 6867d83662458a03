#include "app/Model.hpp"

#include <algorithm>

#include "app/InputScanner.hpp"
#include "app/MappingCreation.hpp"
#include "app/VersionComparison.hpp"
#include "controller/Gamepad.hpp"
#include "controller/HandlerInstallation.hpp"
#include "model/DefaultMappings.hpp"
#include "persistence/DataDirectories.hpp"
#include "persistence/MappingFileStorage.hpp"
#include "support/Log.hpp"

namespace joywright {
namespace {

void removePadHandlers(GamepadDirectionPad& pad) {
    pad.setValueChangedHandler({});
    pad.up().setValueChangedHandler({});
    pad.down().setValueChangedHandler({});
    pad.left().setValueChangedHandler({});
    pad.right().setValueChangedHandler({});
}

// Removes every element handler a running mapping may have installed (not the gamepad-wide one).
void removeElementHandlers(Gamepad& gamepad) {
    removePadHandlers(gamepad.leftThumbstick());
    removePadHandlers(gamepad.rightThumbstick());
    removePadHandlers(gamepad.dpad());
    for (GamepadButton* button :
         {&gamepad.buttonA(), &gamepad.buttonB(), &gamepad.buttonX(), &gamepad.buttonY(),
          &gamepad.leftShoulder(), &gamepad.rightShoulder(), &gamepad.leftTrigger(),
          &gamepad.rightTrigger(), &gamepad.buttonMenu(), gamepad.leftThumbstickButton(),
          gamepad.rightThumbstickButton(), gamepad.buttonOptions(), gamepad.buttonHome()}) {
        if (button != nullptr) button->setValueChangedHandler({});
    }
}

std::string productCategoryText(const Gamepad& gamepad) {
    const auto controller = gamepad.controller();
    return controller ? controller->productCategory : std::string("unknown");
}

}  // namespace

// ---- Creation and destruction

Model::Model(ModelDependencies dependencies)
    : preferences_(dependencies.preferences),
      loop_(dependencies.loop),
      runner_(dependencies.runner),
      trust_(dependencies.trust),
      updateSource_(dependencies.updateSource),
      localVersion_(std::move(dependencies.localVersion)),
      now_(dependencies.now ? std::move(dependencies.now) : [] { return WallClock::now(); }),
      isAppStoreBuild_(dependencies.isAppStoreBuild ? std::move(dependencies.isAppStoreBuild)
                                                    : [] { return false; }),
      self_(std::make_shared<Model*>(this)) {
    isTrusted_ = trust_.isProcessTrusted();
    loadPreferences();
    loadMappings(dependencies);
    if (!mappings_.empty()) setSelection(SidebarSelection::mapping(mappings_.front().id));
    startTrustPolling();
    startUpdateCheck();
}

Model::~Model() {
    self_.reset();
    trustCheckTask_.cancel();
    cancelUpdateCheck();
    if (persistence_) persistence_->stop();
    // The handlers hold the engine's frame and the model weakly; the gamepads may outlive both.
    if (gamepad_) gamepad_->setValueChangedHandler({});
    if (auto gamepad = handlersGamepad_.lock()) removeElementHandlers(*gamepad);
}

void Model::loadPreferences() {
    if (auto curve = preferences_.responseCurve()) setResponseCurve(*curve);
    runner_.setResponseCurve(responseCurve_);
    if (auto mode = preferences_.autoEnableMode()) setAutoEnableMode(*mode);
    if (auto id = preferences_.lastUsedMappingId()) setLastUsedMappingId(*id);
    if (auto settings = preferences_.controllerSettings())
        controllerSettingsDict_ = std::move(*settings);
    if (auto dismissal = preferences_.updateDismissal()) updateDismissal_ = std::move(*dismissal);
}

void Model::loadMappings(ModelDependencies& dependencies) {
    if (dependencies.initialMappings) {
        setMappings(std::move(*dependencies.initialMappings));
        return;
    }
    storage_ = dependencies.storage;
    if (storage_ == nullptr) {
        auto directory = mappingsDirectory();
        if (!directory) {
            JW_LOG_ERROR(general, "Failed to initialize MappingFileStorage: %s",
                         directory.error().c_str());
            setMappings(defaultMappings());
            return;
        }
        ownedStorage_ = std::make_unique<MappingFileStorage>(std::move(directory).value());
        storage_ = ownedStorage_.get();
    }
    adoptCoordinator(std::make_unique<MappingSyncCoordinator>(
        *storage_, preferences_.store(), loop_, seconds(kSaveDebounceSeconds)));
}

void Model::adoptCoordinator(std::unique_ptr<MappingSyncCoordinator> coordinator) {
    std::weak_ptr<Model*> weak = self_;
    coordinator->onExternalChange = [weak](const std::vector<Mapping>& mappings) {
        if (auto self = weak.lock(); self && (*self)->mappings_ != mappings)
            (*self)->setMappings(mappings);
    };
    coordinator->onSaveStatusChanged = [weak](const SaveStatus& status) {
        if (auto self = weak.lock()) (*self)->setSaveStatus(status);
    };
    coordinator->onCorruptMappingsChanged = [weak](const CorruptMappingIDs& ids) {
        if (auto self = weak.lock()) (*self)->setCorruptMappingIDs(ids);
    };
    coordinator->onUnrecoverableCorruptFilesChanged =
        [weak](const std::vector<CorruptFile>& files) {
            if (auto self = weak.lock()) (*self)->setUnrecoverableCorruptFiles(files);
        };
    persistence_ = std::move(coordinator);

    // What load() returns is what the folder holds: taken without scheduling a save.
    mappings_ = persistence_->load();
    rebuildIndexes();
    setCorruptMappingIDs(persistence_->corruptMappingIDs());
    setUnrecoverableCorruptFiles(persistence_->unrecoverableCorruptFiles());
    setLoadError(persistence_->loadError());
}

// ---- Observation

Model::Subscription Model::observe(std::function<void(ModelProperty)> observer) {
    return observers_.subscribe(
        [observer = std::move(observer)](const ModelProperty& property) { observer(property); });
}

void Model::notify(ModelProperty property) {
    observers_.notify(property);
}

// ---- Derived reads

std::optional<Mapping> Model::mapping(const Uuid& id) const {
    const auto index = mappingIndex(id);
    if (!index) return std::nullopt;
    return mappings_[*index];
}

Mapping Model::mappingOrUntitled(const Uuid& id) const {
    if (auto found = mapping(id)) return *found;
    Mapping untitled = untitledMapping();
    untitled.id = id;
    return untitled;
}

std::optional<std::size_t> Model::mappingIndex(const Uuid& id) const {
    const auto found = mappingIndexById_.find(id);
    if (found == mappingIndexById_.end()) return std::nullopt;
    return found->second;
}

std::optional<Uuid> Model::selectedMappingId() const {
    return selection_ ? selection_->mappingId() : std::nullopt;
}

std::optional<Mapping> Model::selectedMapping() const {
    const auto id = selectedMappingId();
    return id ? mapping(*id) : std::nullopt;
}

std::optional<Uuid> Model::autoEnableTargetId() const {
    if (autoEnableMode_.isLastUsed()) return lastUsedMappingId_;
    return autoEnableMode_.specificId();
}

std::optional<Uuid> Model::runningMappingId() const {
    const Mapping* running = runState_.runningMapping();
    return running ? std::optional<Uuid>(running->id) : std::nullopt;
}

ControllerSettings Model::currentControllerSettings() const {
    if (!controllerDisplayInfo_) return ControllerSettings{};
    return settingsFor(controllerSettingsDict_, *controllerDisplayInfo_);
}

std::optional<std::filesystem::path> Model::mappingsFolder() const {
    if (storage_ == nullptr) return std::nullopt;
    return storage_->directory();
}

std::optional<std::filesystem::path> Model::mappingFile(const Uuid& id) const {
    auto folder = mappingsFolder();
    if (!folder) return std::nullopt;
    return *folder / (id.text() + ".json");
}

// ---- Setters

void Model::setMainWindowIsVisible(bool visible) {
    const bool changed = visible != mainWindowIsVisible_;
    mainWindowIsVisible_ = visible;
    if (changed) notify(ModelProperty::mainWindowIsVisible);
}

void Model::setAppIsFocused(bool focused) {
    const bool changed = focused != appIsFocused_;
    appIsFocused_ = focused;
    setRecordOnce(false);
    if (focused)
        startScanner();
    else
        stopScanner();
    if (changed) notify(ModelProperty::appIsFocused);
}

void Model::setSelection(std::optional<SidebarSelection> selection) {
    const bool changed = selection != selection_;
    selection_ = std::move(selection);
    setRecordOnce(false);
    if (selectedMappingId())
        startScanner();
    else
        stopScanner();
    if (changed) notify(ModelProperty::selection);
}

void Model::setMappings(std::vector<Mapping> mappings) {
    // Ids must stay unique: a repeated id (only a faulty caller makes one) gets a fresh one
    // rather than overwriting the other mapping's file.
    std::unordered_map<Uuid, std::size_t> seen;
    for (auto& mapping : mappings) {
        while (seen.contains(mapping.id))
            mapping.id = newMappingID();
        seen.emplace(mapping.id, 0);
    }
    const bool changed = mappings != mappings_;
    mappings_ = std::move(mappings);
    rebuildIndexes();
    if (persistence_) persistence_->scheduleSave(mappings_);
    if (const Mapping* running = runState_.runningMapping()) {
        const auto stored = mapping(running->id);
        if (!stored) {
            stopMapping();
        } else if (*stored != *running) {
            setAutoScan(false);
            replaceRunningMapping(*stored);
        }
    }
    if (changed) notify(ModelProperty::mappings);
}

void Model::setSelectedInputId(std::optional<InputName> input) {
    const bool changed = input != selectedInputId_;
    selectedInputId_ = input;
    if (changed) {
        setRecordOnce(false);
        notify(ModelProperty::selectedInputId);
    }
}

void Model::setRecordOnce(bool on) {
    const bool changed = on != recordOnce_;
    recordOnce_ = on;
    if (changed) notify(ModelProperty::recordOnce);
}

void Model::setUseRelativeMouse(bool on) {
    const bool changed = on != useRelativeMouse_;
    useRelativeMouse_ = on;
    runner_.setUseRelativeMouse(on);
    runner_.setRelativeMouseAccumulator(Vector{});
    if (changed) notify(ModelProperty::useRelativeMouse);
}

void Model::setResponseCurve(const ResponseCurve& curve) {
    const bool changed = curve != responseCurve_;
    responseCurve_ = curve;
    preferences_.setResponseCurve(curve);
    runner_.setResponseCurve(curve);
    if (changed) notify(ModelProperty::responseCurve);
}

void Model::setAutoEnableMode(const AutoEnableMode& mode) {
    const bool changed = mode != autoEnableMode_;
    autoEnableMode_ = mode;
    preferences_.setAutoEnableMode(mode);
    if (changed) notify(ModelProperty::autoEnableMode);
}

void Model::setLastUsedMappingId(std::optional<Uuid> id) {
    const bool changed = id != lastUsedMappingId_;
    lastUsedMappingId_ = id;
    preferences_.setLastUsedMappingId(id);
    if (changed) notify(ModelProperty::lastUsedMappingId);
}

void Model::setAutoScan(bool on) {
    const bool changed = on != autoScan_;
    autoScan_ = on;
    if (on)
        startScanner();
    else
        stopScanner();
    if (changed) notify(ModelProperty::autoScan);
}

void Model::setShowUnassigned(bool on) {
    const bool changed = on != showUnassigned_;
    showUnassigned_ = on;
    if (changed) notify(ModelProperty::showUnassigned);
}

void Model::setGamepad(std::shared_ptr<Gamepad> gamepad) {
    const bool changed = gamepad != gamepad_;
    // A replaced controller keeps no scan handler: only the model's gamepad is scanned.
    if (changed && gamepad_) gamepad_->setValueChangedHandler({});
    gamepad_ = std::move(gamepad);

    std::optional<ControllerDisplayInfo> info;
    if (gamepad_) info = joywright::controllerDisplayInfo(*gamepad_);
    if (info != controllerDisplayInfo_) {
        controllerDisplayInfo_ = std::move(info);
        notify(ModelProperty::controllerDisplayInfo);
    }

    if (gamepad_ && autoScan_) {
        startScanner(gamepad_);
    } else {
        setRecordOnce(false);
        stopScanner();
    }
    if (changed) notify(ModelProperty::gamepad);
}

void Model::setIsTrusted(bool trusted) {
    if (trusted == isTrusted_) return;
    isTrusted_ = trusted;
    notify(ModelProperty::isTrusted);
}

void Model::setAvailableUpdate(std::optional<AppStoreRelease> release) {
    const bool changed = release != availableUpdate_;
    availableUpdate_ = std::move(release);
    if (changed) notify(ModelProperty::availableUpdate);
}

void Model::setSaveStatus(const SaveStatus& status) {
    if (status == saveStatus_) return;
    saveStatus_ = status;
    notify(ModelProperty::saveStatus);
}

void Model::setCorruptMappingIDs(const CorruptMappingIDs& ids) {
    if (ids == corruptMappingIDs_) return;
    corruptMappingIDs_ = ids;
    notify(ModelProperty::corruptMappingIDs);
}

void Model::setUnrecoverableCorruptFiles(const std::vector<CorruptFile>& files) {
    if (files == unrecoverableCorruptFiles_) return;
    unrecoverableCorruptFiles_ = files;
    notify(ModelProperty::unrecoverableCorruptFiles);
}

void Model::setLoadError(const std::optional<std::string>& error) {
    if (error == loadError_) return;
    loadError_ = error;
    notify(ModelProperty::loadError);
}

void Model::setRunState(RunState state) {
    const bool changed = state != runState_;
    runState_ = std::move(state);
    if (changed) notify(ModelProperty::runState);
}

void Model::rebuildIndexes() {
    mappingIndexById_.clear();
    mappingIndexById_.reserve(mappings_.size());
    for (std::size_t i = 0; i < mappings_.size(); ++i)
        mappingIndexById_.emplace(mappings_[i].id, i);
}

// ---- Run control

void Model::startMapping(const Mapping& requested) {
    if (!gamepad_) {
        JW_LOG_ERROR(general, "Attempted to start mapping with no gamepad connected");
        return;
    }
    const Mapping mapping = requested;  // `requested` may live in the state changed below
    JW_LOG_DEFAULT(general, "Runner started: %s", mapping.name.c_str());
    stopScanner();
    if (!runState_.isRunning()) {
        attachHandlers(mapping);
        runner_.start();
        setRunState(RunState::running(mapping));
    } else {
        replaceRunningMapping(mapping);
    }
    setLastUsedMappingId(mapping.id);
}

void Model::replaceRunningMapping(const Mapping& requested) {
    if (!runState_.isRunning()) return;
    const Mapping mapping = requested;
    runner_.reset();
    attachHandlers(mapping);
    setRunState(RunState::running(mapping));
}

void Model::stopMapping() {
    if (runState_.isRunning()) JW_LOG_DEFAULT(general, "Runner stopped");
    runner_.stop();
    runner_.frame().clear();
    setRunState(RunState::idle());
    if (gamepad_) startScanner(gamepad_);
}

void Model::attachHandlers(const Mapping& mapping) {
    if (!gamepad_) {
        JW_LOG_DEBUG(general, "No gamepad");
        return;
    }
    // A controller that is no longer the model's stops driving the engine once the mapping is
    // installed on the current one.
    if (auto previous = handlersGamepad_.lock(); previous && previous != gamepad_)
        removeElementHandlers(*previous);
    installHandlers(*gamepad_, mapping, currentControllerSettings(), runner_.frame());
    handlersGamepad_ = gamepad_;
}

// ---- Mapping list

Uuid Model::freshId(Uuid id) const {
    while (mappingIndexById_.contains(id))
        id = newMappingID();
    return id;
}

Uuid Model::appendMapping(Mapping mapping) {
    return insertMapping(std::move(mapping), std::nullopt);
}

Uuid Model::insertMapping(Mapping mapping, std::optional<Uuid> after) {
    mapping.id = freshId(mapping.id);
    const Uuid id = mapping.id;
    std::vector<Mapping> list = mappings_;
    const auto index = after ? mappingIndex(*after) : std::nullopt;
    const auto position =
        index ? list.begin() + static_cast<std::ptrdiff_t>(*index + 1) : list.end();
    list.insert(position, std::move(mapping));
    setMappings(std::move(list));
    return id;
}

void Model::deleteMapping(const Uuid& id) {
    const auto position = mappingIndex(id);
    if (!position) return;
    if (autoEnableMode_.specificId() == id) setAutoEnableMode(AutoEnableMode::none());
    const bool wasSelected = selectedMappingId() == id;

    std::vector<Mapping> list = mappings_;
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(*position));
    setMappings(std::move(list));

    if (!wasSelected) return;
    setSelectedInputId(std::nullopt);
    if (mappings_.empty()) {
        const Uuid added = appendMapping(untitledMapping());
        setSelection(SidebarSelection::mapping(added));
    } else {
        const std::size_t next = *position == 0 ? 0 : *position - 1;
        setSelection(SidebarSelection::mapping(mappings_[next].id));
    }
}

void Model::updateMapping(const Mapping& mapping) {
    const auto index = mappingIndex(mapping.id);
    if (!index || mappings_[*index] == mapping) return;
    std::vector<Mapping> list = mappings_;
    list[*index] = mapping;
    setMappings(std::move(list));
}

void Model::setOutput(const Output& output, InputName input) {
    auto selected = selectedMapping();
    if (!selected) return;
    const auto entry = std::find_if(selected->inputs.begin(), selected->inputs.end(),
                                    [input](const Input& i) { return i.id == input; });
    if (entry == selected->inputs.end()) return;
    entry->output = output;
    updateMapping(*selected);
    setSelectedInputId(input);
}

void Model::setGlobalSpeed(float speed, MouseSpeedCategory category) {
    auto selected = selectedMapping();
    if (!selected) return;
    for (auto& input : selected->inputs) {
        if (category == MouseSpeedCategory::moveMouse) {
            if (const auto* move = input.output.as<Output::MoveMouse>())
                input.output = Output::moveMouse(move->direction, speed);
        } else if (const auto* scroll = input.output.as<Output::ScrollMouse>();
                   scroll && scroll->mode == ScrollMouseMode::continuous) {
            input.output = Output::scrollMouse(scroll->direction, speed, scroll->mode);
        }
    }
    updateMapping(*selected);
}

// ---- Commands

Uuid Model::addUntitledMapping() {
    const Uuid id = insertMapping(untitledMapping(), selectedMappingId());
    setSelection(SidebarSelection::mapping(id));
    return id;
}

std::optional<Uuid> Model::cloneMapping(const Uuid& source) {
    const auto original = mapping(source);
    if (!original) return std::nullopt;
    const Uuid id = insertMapping(clonedMapping(*original), source);
    setSelection(SidebarSelection::mapping(id));
    return id;
}

Uuid Model::addBlankMapping() {
    const Uuid id = appendMapping(newBlankMapping(mappings_));
    setSelection(SidebarSelection::mapping(id));
    return id;
}

Uuid Model::addMapping(Mapping mapping) {
    mapping.id = newMappingID();
    const Uuid id = appendMapping(std::move(mapping));
    setSelection(SidebarSelection::mapping(id));
    return id;
}

Expected<Uuid, std::string> Model::importMapping(std::string_view text) {
    auto imported = importedMapping(text);
    if (!imported) return unexpected(imported.error());
    const Uuid id = appendMapping(std::move(imported).value());
    setSelection(SidebarSelection::mapping(id));
    return id;
}

// ---- Controller

void Model::gamepadConnected(std::shared_ptr<Gamepad> gamepad) {
    if (!gamepad) return;
    JW_LOG_DEFAULT(general, "Gamepad connected: %s", productCategoryText(*gamepad).c_str());
    setGamepad(std::move(gamepad));
    autoEnable();
}

void Model::gamepadDisconnected(const std::shared_ptr<Gamepad>& gamepad) {
    if (!gamepad_ || gamepad_ != gamepad) return;
    JW_LOG_DEFAULT(general, "Gamepad disconnected: %s", productCategoryText(*gamepad).c_str());
    setGamepad(nullptr);
    stopMapping();
}

void Model::autoEnable() {
    if (runState_.isRunning() || !gamepad_) return;
    const auto target = autoEnableTargetId();
    if (!target) return;
    if (const auto found = mapping(*target)) startMapping(*found);
}

void Model::updateControllerSettings(const ControllerSettings& settings,
                                     const ControllerDisplayInfo& controller) {
    const std::string key = settingsKey(controller);
    const auto existing = controllerSettingsDict_.find(key);
    const bool changed = existing == controllerSettingsDict_.end() || existing->second != settings;
    controllerSettingsDict_[key] = settings;
    preferences_.setControllerSettings(controllerSettingsDict_);
    if (changed) notify(ModelProperty::controllerSettingsDict);
    if (const Mapping* running = runState_.runningMapping()) replaceRunningMapping(*running);
}

// ---- Input scanner

void Model::startScanner(std::shared_ptr<Gamepad> gamepad) {
    if (!autoScan_) return;
    if (!gamepad) gamepad = gamepad_;
    if (!gamepad) return;
    if (gamepad->hasValueChangedHandler()) return;
    if (!appIsFocused_) return;
    JW_LOG_INFO(general, "[startScanner] started");
    std::weak_ptr<Model*> weak = self_;
    gamepad->setValueChangedHandler([weak](Gamepad& pad, GamepadElement& element) {
        // Classified now, while the element's values are the ones that fired; the model itself
        // is changed only in the main-loop task.
        const auto self = weak.lock();
        if (!self) return;
        const auto input = scannedInput(pad, element);
        if (!input) return;
        (*self)->loop_.post([weak, input = *input] {
            if (auto model = weak.lock()) (*model)->handleScan(input);
        });
    });
}

void Model::stopScanner() {
    if (!gamepad_) return;
    if (gamepad_->hasValueChangedHandler()) JW_LOG_INFO(general, "Stopping scanner");
    gamepad_->setValueChangedHandler({});
}

bool Model::isScanning() const {
    return gamepad_ && gamepad_->hasValueChangedHandler();
}

void Model::handleScan(InputName input) {
    const auto selected = selectedMappingId();
    if (!selected || !appIsFocused_ || !autoScan_) return;
    setSelectedInputId(input);
    const auto found = mapping(*selected);
    if (!found) return;
    const auto output = found->output(input);
    if (!output) return;
    if (output->is<Output::PressKey>()) {
        setRecordOnce(true);
    } else if (output->is<Output::Noop>()) {
        setOutput(Output::defaultOutput(Output::Tag::pressKey), input);
        setRecordOnce(true);
    }
}

// ---- Mappings folder

void Model::reloadFromDisk() {
    if (!persistence_) return;
    persistence_->reloadFromDisk();
    setLoadError(persistence_->loadError());
}

void Model::revertCorruptFile(const Uuid& id) {
    if (persistence_) persistence_->revertCorruptFile(id);
}

void Model::removeUnrecoverableCorruptFile(const std::filesystem::path& file) {
    auto files = unrecoverableCorruptFiles_;
    std::erase_if(files, [&](const CorruptFile& f) { return f.url == file; });
    setUnrecoverableCorruptFiles(files);
}

// ---- Trust polling

void Model::startTrustPolling() {
    std::weak_ptr<Model*> weak = self_;
    trustCheckTask_ = loop_.schedule(MainLoop::Duration::zero(), [weak] {
        if (auto self = weak.lock()) (*self)->pollTrust();
    });
}

void Model::pollTrust() {
    setIsTrusted(trust_.isProcessTrusted());
    std::weak_ptr<Model*> weak = self_;
    const double pause = isTrusted_ ? kTrustedPollInterval : kUntrustedPollInterval;
    trustCheckTask_ = loop_.schedule(seconds(pause), [weak] {
        if (auto self = weak.lock()) (*self)->pollTrust();
    });
}

// ---- Update check

void Model::startUpdateCheck() {
    if (updateSource_ == nullptr || !localVersion_) return;
    cancelUpdateCheck();
    const std::uint64_t generation = ++updateCheckGeneration_;
    updateCheckInFlight_ = true;
    std::weak_ptr<Model*> weak = self_;
    updateCheckTask_ = loop_.schedule(MainLoop::Duration::zero(), [weak, generation] {
        auto self = weak.lock();
        if (!self) return;
        Model& model = **self;
        if (model.updateCheckInFlight_ && model.updateCheckGeneration_ == generation)
            model.checkForUpdate();
    });
}

void Model::checkForUpdate() {
    if (isAppStoreBuild_()) {
        JW_LOG_INFO(general, "Update check skipped: App Store build");
        updateCheckInFlight_ = false;
        return;
    }
    std::weak_ptr<Model*> weak = self_;
    const std::uint64_t generation = updateCheckGeneration_;
    updateSource_->latestRelease([weak, generation](std::optional<AppStoreRelease> release) {
        auto self = weak.lock();
        if (!self) return;
        Model& model = **self;
        // Cancelled (shutdown, or a newer check) while the lookup ran.
        if (!model.updateCheckInFlight_ || model.updateCheckGeneration_ != generation) return;
        model.finishUpdateCheck(release);
    });
}

void Model::finishUpdateCheck(const std::optional<AppStoreRelease>& release) {
    updateCheckInFlight_ = false;
    updateCheckTask_.cancel();
    if (!release) return;
    const std::string& local = *localVersion_;
    if (!isNewerVersion(release->version, local)) {
        JW_LOG_INFO(general, "App is up to date (local: %s, App Store: %s)", local.c_str(),
                    release->version.c_str());
        return;
    }
    if (updateDismissal_ &&
        hidesRelease(*updateDismissal_, release->version, secondsSinceReferenceDate(now_()))) {
        JW_LOG_INFO(general, "Update v%s dismissed, skipping", release->version.c_str());
        return;
    }
    JW_LOG_INFO(general, "Update available: v%s (local: %s)", release->version.c_str(),
                local.c_str());
    setAvailableUpdate(*release);
}

void Model::cancelUpdateCheck() {
    updateCheckTask_.cancel();
    updateCheckInFlight_ = false;
}

void Model::dismissUpdate() {
    if (!availableUpdate_) return;
    UpdateDismissal dismissal{.version = availableUpdate_->version,
                              .dismissedAt = secondsSinceReferenceDate(now_())};
    preferences_.setUpdateDismissal(dismissal);
    updateDismissal_ = std::move(dismissal);
    setAvailableUpdate(std::nullopt);
}

// ---- Shutdown

void Model::shutdown() {
    if (hasShutDown_) {
        JW_LOG_DEBUG(general, "shutdown() already called, skipping");
        return;
    }
    hasShutDown_ = true;
    runner_.stop();
    cancelUpdateCheck();
    if (persistence_) {
        persistence_->stop();
        persistence_.reset();
    }
    JW_LOG_DEFAULT(general, "Model shut down");
}

}  // namespace joywright
