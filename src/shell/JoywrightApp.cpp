#include "shell/JoywrightApp.hpp"

#include <unistd.h>

#include "persistence/JsonFilePreferencesStore.hpp"
#include "persistence/LegacyBackup.hpp"
#include "platform/linux/JournalLogSink.hpp"
#include "platform/qt/StoreBuild.hpp"

namespace joywright {

namespace {

std::shared_ptr<LogSink> chosenSink(const std::shared_ptr<LogSink>& sink) {
    return sink ? sink : makeSystemLogSink();
}

std::optional<std::filesystem::path> preferencesLocation() {
    auto file = JsonFilePreferencesStore::defaultFile();
    if (!file) {
        JW_LOG_ERROR(general, "Preferences are kept in memory only: %s", file.error().c_str());
        return std::nullopt;
    }
    return *file;
}

std::unique_ptr<PreferencesStore> openPreferences(
    const std::optional<std::filesystem::path>& file) {
    if (!file) return std::make_unique<InMemoryPreferencesStore>();
    return std::make_unique<JsonFilePreferencesStore>(*file);
}

bool backUpLegacyMappings(PreferencesStore& preferences) {
    backupLegacyMappings(preferences);
    return true;
}

}  // namespace

std::string_view JoywrightApp::version() {
    return JOYWRIGHT_VERSION;
}

JoywrightApp::JoywrightApp(JoywrightAppOptions options)
    : options_(std::move(options)),
      logSink_(chosenSink(options_.logSink)),
      preferencesFile_(preferencesLocation()),
      preferences_(openPreferences(preferencesFile_)),
      backupDone_(backUpLegacyMappings(*preferences_)),
      connection_(X11Connection::openOrLog(options_.displayName)),
      synthesizer_(connection_),
      display_(connection_, loop_),
      keyboardLayout_(connection_),
      trust_(connection_) {
    // Controllers are read at the start of every engine tick; set before any link is made.
    display_.setTickHook([this] {
        if (pump_) pump_->engineTick();
    });
    runner_ = std::make_unique<Runner>(synthesizer_, display_);
    if (const auto lookup = UpdateLookup::fromBuildSettings();
        options_.checkForUpdates && lookup.isConfigured())
        updateSource_ = std::make_unique<QtUpdateSource>(lookup);
    model_ = std::make_unique<Model>(ModelDependencies{
        .preferences = *preferences_,
        .loop = loop_,
        .runner = *runner_,
        .trust = trust_,
        .updateSource = updateSource_.get(),
        .localVersion = std::string(version()),
        .now = {},
        .isAppStoreBuild = [] { return isStoreBuild(); },
    });
    modelSubscription_ = model_->observe([this](ModelProperty) {
        if (pump_) pump_->update();
    });
}

JoywrightApp::~JoywrightApp() {
    // The pump goes before the service it reads and the model its callbacks reach.
    pump_.reset();
    signals_.reset();
    if (!model_->hasShutDown()) model_->shutdown();
    if (connection_) connection_->flush();
}

void JoywrightApp::start(std::function<void()> quit) {
    if (started_) return;
    started_ = true;
    quit_ = std::move(quit);
    if (options_.handleTerminationSignals) installTerminationSignals();
    JW_LOG_DEFAULT(general, "Finished launching (pid %d)", static_cast<int>(getpid()));
    startControllerDiscovery();
}

void JoywrightApp::installTerminationSignals() {
    auto installed = TerminationSignals::install([this](int) {
        shutDownForSignal();
        if (quit_) quit_();
    });
    if (!installed) {
        JW_LOG_ERROR(general, "%s", installed.error().c_str());
        return;
    }
    signals_ = std::move(installed).value();
}

void JoywrightApp::startControllerDiscovery() {
    auto service = SdlGamepadService::create();
    if (!service) {
        JW_LOG_ERROR(input, "No controllers can be used: %s", service.error().c_str());
        return;
    }
    gamepads_ = std::move(service).value();
    pump_ = std::make_unique<ControllerPump>(
        loop_, *gamepads_,
        ControllerPump::Probes{
            .engineIsTicking = [this] { return runner_->isRunning(); },
            .isScanning = [this] { return model_->isScanning(); },
        });
    gamepads_->start(
        [this](std::shared_ptr<Gamepad> gamepad) { model_->gamepadConnected(std::move(gamepad)); },
        [this](std::shared_ptr<Gamepad> gamepad) { model_->gamepadDisconnected(gamepad); });
}

void JoywrightApp::shutDownForSignal() {
    JW_LOG_DEFAULT(general, "SIGTERM received — cleaning up before exit.");
    model_->shutdown();
    if (connection_) connection_->flush();
}

}  // namespace joywright
