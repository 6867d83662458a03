// The application end to end, as a separate process (the test build of joywright, scripted from
// standard input) on a private Xvfb, watched by an XInput2 observer:
//   e2e_latency_p50_ms, e2e_latency_p99_ms  a virtual button change until its key press arrives
//                                           at the X server, over 200 presses
//   idle_cpu_percent     CPU of the program over 10 s, a controller connected, no mapping running
//   running_cpu_percent  the same with a mapping running and the right stick held
//   rss_mb               the program's resident memory afterwards
// CPU is the child's utime + stime from /proc/<pid>/stat, in percent of one core.
#include <benchmark/benchmark.h>
#include <linux/input-event-codes.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "e2e/support/ChildProcess.hpp"
#include "e2e/support/TemporaryDirectory.hpp"
#include "e2e/support/XObserver.hpp"
#include "e2e/support/XvfbServer.hpp"
#include "support/Figures.hpp"

namespace joywright {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using e2e::ChildProcess;

constexpr int kPresses = 200;
constexpr auto kCpuWindow = 10s;

[[noreturn]] void fail(const std::string& why) {
    throw std::runtime_error(why);
}

// utime + stime of `pid`, seconds.
double cpuSeconds(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // Fields after the command name (which may hold spaces) start at field 3, the state.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    unsigned long long utime = 0;
    unsigned long long stime = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 14) utime = std::stoull(field);
        if (index == 15) {
            stime = std::stoull(field);
            break;
        }
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// A field of /proc/<pid>/status in kB ("VmRSS", "VmHWM").
double statusKilobytes(pid_t pid, const std::string& name) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(file, line);)
        if (line.starts_with(name + ":")) return std::stod(line.substr(name.size() + 1));
    return 0;
}

// The program's CPU use over `window` while `during` runs every 100 ms, percent of one core.
double cpuPercent(pid_t pid, std::chrono::milliseconds window,
                  const std::function<void()>& during = {}) {
    const double before = cpuSeconds(pid);
    const auto started = Clock::now();
    while (Clock::now() - started < window) {
        std::this_thread::sleep_for(100ms);
        if (during) during();
    }
    const double wall = std::chrono::duration<double>(Clock::now() - started).count();
    return 100.0 * (cpuSeconds(pid) - before) / wall;
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

class Host {
public:
    Host(const std::string& display, const e2e::TemporaryDirectory& home) {
        auto child = ChildProcess::spawn({
            .path = JOYWRIGHT_E2E_HOST,
            .arguments = {},
            .environment = {{"DISPLAY", display},
                            {"XDG_DATA_HOME", (home.path() / "data").string()},
                            {"XDG_CONFIG_HOME", (home.path() / "config").string()}},
            .unset = {},
        });
        if (!child) fail(child.error());
        process_ = std::move(child).value();
        expect("ready trusted=1");
    }

    pid_t pid() const { return process_->pid(); }

    // Sends a command; returns the monotonic time (ns) at which it took effect.
    long long command(const std::string& line) {
        if (!process_->send(line)) fail("cannot send " + line);
        const auto reply = process_->waitForLine(
            [](const std::string& l) { return l.starts_with("ok ") || l.starts_with("error "); });
        if (!reply || !reply->starts_with("ok @")) fail("no success for " + line);
        return std::stoll(reply->substr(4));
    }

    void expect(const std::string& line) {
        if (!process_->waitForLine([&](const std::string& l) { return l == line; }))
            fail("never printed " + line + "\n" + process_->errorOutput());
    }

    void quit() {
        command("quit");
        process_->waitForExit();
    }

private:
    std::unique_ptr<ChildProcess> process_;
};

void measureApplication(benchmark::State& state) {
    auto server = e2e::XvfbServer::start();
    if (!server) fail(server.error());
    auto watcher = e2e::XObserver::open((*server)->displayName());
    if (!watcher) fail(watcher.error());
    e2e::XObserver& observer = **watcher;
    observer.setPointerAcceleration(false);
    e2e::TemporaryDirectory home;
    Host host((*server)->displayName(), home);

    host.command("attach Bench Pad");
    host.expect("event gamepad Bench Pad");
    std::this_thread::sleep_for(1s);  // start-up work done
    const double idle = cpuPercent(host.pid(), kCpuWindow);

    host.command("start Dragon Quest Builders 1");
    host.expect("event running Dragon Quest Builders 1");
    const std::string press = e2e::keyToken(KEY_C, true);
    const std::string release = e2e::keyToken(KEY_C, false);
    std::vector<double> latencies;
    std::vector<double> commandLatencies;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> gapUs(0, 8000);
    for (int i = 0; i < kPresses; ++i) {
        observer.clear();
        const auto sent = Clock::now();
        const long long changed = host.command("button a 1");
        if (!observer.waitUntil([&] {
                const auto tokens = observer.tokens();
                return std::find(tokens.begin(), tokens.end(), press) != tokens.end();
            }))
            fail("the key press never arrived");
        const auto arrived = Clock::now();
        latencies.push_back(static_cast<double>(arrived.time_since_epoch().count() - changed) /
                            1e6);
        commandLatencies.push_back(
            std::chrono::duration<double, std::milli>(arrived - sent).count());
        host.command("button a 0");
        if (!observer.waitForTokens({press, release})) fail("the key release never arrived");
        // Presses land at every phase of the engine's tick.
        std::this_thread::sleep_for(std::chrono::microseconds(gapUs(random)));
    }

    host.command("stick right 1 0");
    const double running = cpuPercent(host.pid(), kCpuWindow, [&] {
        // Keeps the pointer travelling instead of resting at the screen's edge.
        const auto at = observer.pointer();
        if (at.x > (*server)->width() - 200) observer.warpPointer(0, 500);
    });
    const double rss = statusKilobytes(host.pid(), "VmRSS") / 1024;
    const double peak = statusKilobytes(host.pid(), "VmHWM") / 1024;
    host.command("stick right 0 0");
    host.quit();

    const double p50 = percentile(latencies, 0.50);
    const double p99 = percentile(latencies, 0.99);
    bench::reportFigure("e2e_latency_p50_ms", p50, "ms");
    bench::reportFigure("e2e_latency_p99_ms", p99, "ms");
    bench::reportFigure("idle_cpu_percent", idle, "%");
    bench::reportFigure("running_cpu_percent", running, "%");
    bench::reportFigure("rss_mb", rss, "MB");
    state.counters["latency_max_ms"] = percentile(latencies, 1.0);
    state.counters["command_to_key_p50_ms"] = percentile(commandLatencies, 0.5);
    state.counters["command_to_key_p99_ms"] = percentile(commandLatencies, 0.99);
    state.counters["rss_peak_mb"] = peak;
}

void BM_Application(benchmark::State& state) {
    for (auto _ : state) {
        try {
            measureApplication(state);
        } catch (const std::exception& error) {
            state.SkipWithError(error.what());
        }
    }
}
BENCHMARK(BM_Application)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace joywright
