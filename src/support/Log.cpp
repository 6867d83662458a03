#include "support/Log.hpp"

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace joywright {

namespace {

struct LogState {
    std::mutex mutex;
    std::shared_ptr<LogSink> sink = std::make_shared<StderrLogSink>();
    std::atomic<int> minimumLevel{0};
};

LogState& state() {
    static LogState s;
    return s;
}

}  // namespace

std::string_view name(LogLevel level) {
    switch (level) {
        case LogLevel::debug:
            return "debug";
        case LogLevel::info:
            return "info";
        case LogLevel::defaultLevel:
            return "default";
        case LogLevel::error:
            return "error";
    }
    return "?";
}

std::string_view name(LogCategory category) {
    switch (category) {
        case LogCategory::general:
            return "general";
        case LogCategory::backup:
            return "backup";
        case LogCategory::input:
            return "input";
        case LogCategory::runner:
            return "runner";
        case LogCategory::render:
            return "render";
    }
    return "?";
}

void StderrLogSink::write(LogLevel level, LogCategory category, std::string_view message) {
    std::fprintf(stderr, "%.*s [%.*s] %.*s\n", static_cast<int>(name(level).size()),
                 name(level).data(), static_cast<int>(name(category).size()), name(category).data(),
                 static_cast<int>(message.size()), message.data());
}

void CaptureLogSink::write(LogLevel level, LogCategory category, std::string_view message) {
    std::lock_guard lock(mutex_);
    lines_.push_back({level, category, std::string(message)});
}

std::vector<CaptureLogSink::Line> CaptureLogSink::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::size_t CaptureLogSink::count(std::string_view message) const {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(std::count_if(
        lines_.begin(), lines_.end(), [&](const Line& l) { return l.message == message; }));
}

bool CaptureLogSink::contains(std::string_view fragment) const {
    std::lock_guard lock(mutex_);
    return std::any_of(lines_.begin(), lines_.end(), [&](const Line& l) {
        return l.message.find(fragment) != std::string::npos;
    });
}

void CaptureLogSink::clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
}

std::shared_ptr<LogSink> Log::setSink(std::shared_ptr<LogSink> sink) {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    auto previous = std::move(s.sink);
    s.sink = sink ? std::move(sink) : std::make_shared<StderrLogSink>();
    return previous;
}

void Log::setMinimumLevel(LogLevel level) {
    state().minimumLevel.store(static_cast<int>(level), std::memory_order_relaxed);
}

void Log::write(LogLevel level, LogCategory category, const char* format, ...) {
    auto& s = state();
    if (static_cast<int>(level) < s.minimumLevel.load(std::memory_order_relaxed)) return;

    char buffer[512];
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    std::string message;
    if (length < 0) {
        message = format;
    } else if (static_cast<std::size_t>(length) < sizeof buffer) {
        message.assign(buffer, static_cast<std::size_t>(length));
    } else {
        message.resize(static_cast<std::size_t>(length));
        std::vsnprintf(message.data(), message.size() + 1, format, copy);
    }
    va_end(copy);

    std::lock_guard lock(s.mutex);
    s.sink->write(level, category, message);
}

ScopedLogCapture::ScopedLogCapture()
    : sink_(std::make_shared<CaptureLogSink>()), previous_(Log::setSink(sink_)) {}

ScopedLogCapture::~ScopedLogCapture() {
    Log::setSink(previous_);
}

}  // namespace joywright
