// joywright-e2e-host: the joywright application with the same wiring, plus an SDL virtual
// controller and a few commands read from standard input, one per line, for tests and
// benchmarks that drive the application as a separate process:
//
//   attach [name] | detach | button <name> 0|1 | stick left|right x y | trigger left|right v
//                            the virtual controller (see e2e/support/ControllerScript.hpp)
//   start <mapping name>     start that mapping
//   stop                     stop the running mapping
//   rename <name> => <new>   rename a mapping (an edit, saved after the usual debounce)
//   auto-enable none|lastUsed|<mapping name>
//   state                    prints "state idle" or "state running <name>"
//   quit                     shut down and exit 0 (end of input does the same)
//
// Each command is answered on standard output with "ok @<monotonic ns> <command>" (the time it
// took effect) or "error <reason>". Unprompted lines: "ready trusted=<0|1>" once started,
// "event gamepad <vendor>|none", "event running <name>", "event idle". Log lines go to standard
// error.
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "controller/ControllerDisplayInfo.hpp"
#include "e2e/support/ControllerScript.hpp"
#include "shell/JoywrightApp.hpp"

namespace joywright::e2e {
namespace {

void say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

class Host {
public:
    explicit Host(JoywrightApp& app) : app_(app) {
        subscription_ = app_.model().observe([this](ModelProperty property) {
            if (property == ModelProperty::gamepad) announceGamepad();
            if (property == ModelProperty::runState) announceRunState();
        });
    }

    void readInput() {
        char buffer[4096];
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            quit();
            return;
        }
        pending_.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
            const std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            run(trimmed(line));
        }
    }

private:
    void run(std::string_view line) {
        if (line.empty()) return;
        const auto error = perform(line);
        if (error) {
            say("error " + *error);
            return;
        }
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        say("ok @" + std::to_string(std::chrono::nanoseconds(now).count()) + " " +
            std::string(line));
    }

    std::optional<std::string> perform(std::string_view line) {
        const auto space = line.find(' ');
        const std::string_view command = line.substr(0, space);
        const std::string_view argument =
            space == std::string_view::npos ? std::string_view{} : trimmed(line.substr(space));
        Model& model = app_.model();
        if (command == "start") {
            const auto mapping = named(argument);
            if (!mapping) return "no mapping named \"" + std::string(argument) + "\"";
            if (!model.gamepad()) return std::string("no controller is connected");
            model.startMapping(*mapping);
            return std::nullopt;
        }
        if (command == "stop") {
            model.stopMapping();
            return std::nullopt;
        }
        if (command == "rename") {
            const auto arrow = argument.find("=>");
            if (arrow == std::string_view::npos) return std::string("rename <name> => <new name>");
            auto mapping = named(trimmed(argument.substr(0, arrow)));
            if (!mapping) return std::string("no such mapping");
            mapping->name = std::string(trimmed(argument.substr(arrow + 2)));
            model.updateMapping(*mapping);
            return std::nullopt;
        }
        if (command == "auto-enable") {
            if (argument == "none") {
                model.setAutoEnableMode(AutoEnableMode::none());
            } else if (argument == "lastUsed") {
                model.setAutoEnableMode(AutoEnableMode::lastUsed());
            } else if (const auto mapping = named(argument)) {
                model.setAutoEnableMode(AutoEnableMode::specific(mapping->id));
            } else {
                return "no mapping named \"" + std::string(argument) + "\"";
            }
            return std::nullopt;
        }
        if (command == "state") {
            announceRunState("state ");
            return std::nullopt;
        }
        if (command == "quit") {
            quit();
            return std::nullopt;
        }
        return script_.run(line);
    }

    std::optional<Mapping> named(std::string_view name) const {
        for (const Mapping& mapping : app_.model().mappings())
            if (mapping.name == name) return mapping;
        return std::nullopt;
    }

    void announceGamepad() {
        const auto& info = app_.model().controllerDisplayInfo();
        say("event gamepad " + (info ? info->vendorName.value_or("?") : std::string("none")));
    }

    void announceRunState(const std::string& prefix = "event ") {
        const Mapping* running = app_.model().runState().runningMapping();
        say(prefix + (running ? "running " + running->name : std::string("idle")));
    }

    void quit() {
        if (quitting_) return;
        quitting_ = true;
        app_.model().shutdown();
        QCoreApplication::exit(0);
    }

    JoywrightApp& app_;
    ControllerScript script_;
    Model::Subscription subscription_;
    std::string pending_;
    bool quitting_ = false;
};

}  // namespace
}  // namespace joywright::e2e

int main(int argc, char** argv) {
    using namespace joywright;
    QCoreApplication application(argc, argv);
    JoywrightApp app({.logSink = std::make_shared<StderrLogSink>(), .checkForUpdates = false});
    e2e::Host host(app);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &input, [&host] { host.readInput(); });
    app.start([] { QCoreApplication::exit(0); });
    e2e::say(std::string("ready trusted=") + (app.model().isTrusted() ? "1" : "0"));
    return QCoreApplication::exec();
}
