#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/Model.hpp"
#include "engine/Runner.hpp"
#include "persistence/PreferencesStore.hpp"
#include "platform/qt/QtMainLoop.hpp"
#include "platform/qt/QtUpdateSource.hpp"
#include "platform/sdl/SdlGamepadService.hpp"
#include "platform/x11/X11Connection.hpp"
#include "platform/x11/X11Display.hpp"
#include "platform/x11/X11KeyboardLayout.hpp"
#include "platform/x11/X11TrustQuery.hpp"
#include "platform/x11/XTestEventSynthesizer.hpp"
#include "shell/ControllerPump.hpp"
#include "shell/TerminationSignals.hpp"
#include "support/Log.hpp"

namespace joywright {

struct JoywrightAppOptions {
    // The X display to post to; "" means $DISPLAY.
    std::string displayName{};
    // Where log lines go; null means the systemd journal (standard error without one).
    std::shared_ptr<LogSink> logSink{};
    // Look up a newer release once at start (test builds turn it off: no network).
    bool checkForUpdates = true;
    // SIGTERM and SIGINT shut the application down and then call the quit function given to
    // start(). Off for an application living inside a test process.
    bool handleTerminationSignals = true;
};

// The application, wired from the portable core and the Linux platform parts. The constructor
// starts it up to the model, in this order: the log sink, the preferences file (in memory when
// it cannot be located), the one-time backup of legacy mappings, the X11 connection and its parts
// (with no display everything still starts: nothing is posted and the model is not trusted), the
// engine, and the model (which reads its preferences, loads the mappings, selects the first,
// polls trust and checks for an update). start() finishes launching: the termination signals,
// then controller discovery (the first controller connected now is adopted; later connects and
// disconnects reach the model, which may start a mapping on connect).
//
// Controllers are read at the start of each engine tick while a mapping runs and on a slow timer
// otherwise (ControllerPump). The application needs a QCoreApplication (or QApplication) and
// lives on its thread, the main thread.
class JoywrightApp {
public:
    // The CMake project version, e.g. "0.1.0".
    static std::string_view version();

    explicit JoywrightApp(JoywrightAppOptions options = {});
    // Shuts the model down if start()'s quit path has not, releasing whatever the engine holds.
    ~JoywrightApp();
    JoywrightApp(const JoywrightApp&) = delete;
    JoywrightApp& operator=(const JoywrightApp&) = delete;

    // Finishes launching. `quit` is called on the main thread after a termination signal was
    // handled (the model is shut down by then); it should end the event loop with status 0.
    void start(std::function<void()> quit = {});

    // The termination path: logs "SIGTERM received — cleaning up before exit.", shuts the model
    // down (the engine releases every key and button, pending edits are written) and sends what
    // is still queued for the X server.
    void shutDownForSignal();

    Model& model() { return *model_; }
    const Model& model() const { return *model_; }
    Runner& runner() { return *runner_; }
    MainLoop& loop() { return loop_; }
    // Null when there is no X display.
    X11Connection* connection() const { return connection_.get(); }
    KeyboardLayout& keyboardLayout() { return keyboardLayout_; }
    // Null when SDL's controller support could not start (or before start()).
    const ControllerPump* controllerPump() const { return pump_.get(); }
    // The preferences file; none when preferences are kept in memory only.
    const std::optional<std::filesystem::path>& preferencesFile() const { return preferencesFile_; }

private:
    // Installs the sink while the application lives and puts the previous one back after every
    // other member is gone.
    class LogSinkScope {
    public:
        explicit LogSinkScope(std::shared_ptr<LogSink> sink) : previous_(Log::setSink(sink)) {}
        ~LogSinkScope() { Log::setSink(previous_); }
        LogSinkScope(const LogSinkScope&) = delete;
        LogSinkScope& operator=(const LogSinkScope&) = delete;

    private:
        std::shared_ptr<LogSink> previous_;
    };

    void startControllerDiscovery();
    void installTerminationSignals();

    JoywrightAppOptions options_;
    LogSinkScope logSink_;
    QtMainLoop loop_;
    std::optional<std::filesystem::path> preferencesFile_;
    std::unique_ptr<PreferencesStore> preferences_;
    // Set once the one-time backup of legacy mappings has run (before anything reads them).
    bool backupDone_;
    std::shared_ptr<X11Connection> connection_;
    XTestEventSynthesizer synthesizer_;
    X11Display display_;
    X11KeyboardLayout keyboardLayout_;
    X11TrustQuery trust_;
    std::unique_ptr<Runner> runner_;
    std::unique_ptr<QtUpdateSource> updateSource_;
    std::unique_ptr<Model> model_;
    Model::Subscription modelSubscription_;
    std::unique_ptr<SdlGamepadService> gamepads_;
    std::unique_ptr<ControllerPump> pump_;
    std::unique_ptr<TerminationSignals> signals_;
    std::function<void()> quit_;
    bool started_ = false;
};

}  // namespace joywright
