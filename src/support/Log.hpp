#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace joywright {

// Levels of the unified log; `defaultLevel` is the platform's "default" level.
enum class LogLevel { debug, info, defaultLevel, error };

enum class LogCategory { general, backup, input, runner, render };

inline constexpr std::string_view kLogSubsystem = "com.tovask.Joywright";

std::string_view name(LogLevel level);
std::string_view name(LogCategory category);

// Where formatted log lines go. `write` may be called from any thread; calls are serialised.
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void write(LogLevel level, LogCategory category, std::string_view message) = 0;
};

// Writes "<level> [<category>] <message>" lines to standard error.
class StderrLogSink final : public LogSink {
public:
    void write(LogLevel level, LogCategory category, std::string_view message) override;
};

// Keeps every line in memory, for tests.
class CaptureLogSink final : public LogSink {
public:
    struct Line {
        LogLevel level;
        LogCategory category;
        std::string message;
    };

    void write(LogLevel level, LogCategory category, std::string_view message) override;

    std::vector<Line> lines() const;
    // Number of captured lines whose message equals `message` exactly.
    std::size_t count(std::string_view message) const;
    // True when some captured line's message contains `fragment`.
    bool contains(std::string_view fragment) const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<Line> lines_;
};

// The process-wide log facade. Formats are printf-style; the default sink is standard error.
class Log {
public:
    // Replaces the sink (null restores standard error); returns the previous one.
    static std::shared_ptr<LogSink> setSink(std::shared_ptr<LogSink> sink);

    // Lines below this level are dropped before formatting; default: debug.
    static void setMinimumLevel(LogLevel level);

    static void write(LogLevel level, LogCategory category, const char* format, ...)
        __attribute__((format(printf, 3, 4)));
};

// Installs a CaptureLogSink for the lifetime of the object and restores the previous sink after.
class ScopedLogCapture {
public:
    ScopedLogCapture();
    ~ScopedLogCapture();
    ScopedLogCapture(const ScopedLogCapture&) = delete;
    ScopedLogCapture& operator=(const ScopedLogCapture&) = delete;

    CaptureLogSink& sink() { return *sink_; }
    CaptureLogSink* operator->() { return sink_.get(); }

private:
    std::shared_ptr<CaptureLogSink> sink_;
    std::shared_ptr<LogSink> previous_;
};

}  // namespace joywright

// Shorthands: JW_LOG_INFO(runner, "Runner started: %s", name.c_str());
#define JW_LOG_DEBUG(category, ...)                                                           \
    ::joywright::Log::write(::joywright::LogLevel::debug, ::joywright::LogCategory::category, \
                            __VA_ARGS__)
#define JW_LOG_INFO(category, ...)                                                           \
    ::joywright::Log::write(::joywright::LogLevel::info, ::joywright::LogCategory::category, \
                            __VA_ARGS__)
#define JW_LOG_DEFAULT(category, ...)                            \
    ::joywright::Log::write(::joywright::LogLevel::defaultLevel, \
                            ::joywright::LogCategory::category, __VA_ARGS__)
#define JW_LOG_ERROR(category, ...)                                                           \
    ::joywright::Log::write(::joywright::LogLevel::error, ::joywright::LogCategory::category, \
                            __VA_ARGS__)
