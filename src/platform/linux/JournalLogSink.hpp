#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/Log.hpp"

namespace joywright {

// The systemd journal's fields for one log line: MESSAGE, PRIORITY (debug 7, info 6, default 5,
// error 3), SYSLOG_IDENTIFIER=com.tovask.Joywright and JOYWRIGHT_CATEGORY=<category>.
std::vector<std::string> journalFields(LogLevel level, LogCategory category,
                                       std::string_view message);
int journalPriority(LogLevel level);

// Sends each line to the systemd journal; a line the journal refuses goes to standard error.
class JournalLogSink final : public LogSink {
public:
    void write(LogLevel level, LogCategory category, std::string_view message) override;

private:
    StderrLogSink fallback_;
};

// The journal when its socket is there (`journalSocket`), standard error otherwise.
std::shared_ptr<LogSink> makeSystemLogSink(
    const char* journalSocket = "/run/systemd/journal/socket");

}  // namespace joywright
