#include "platform/linux/JournalLogSink.hpp"

#include <sys/uio.h>
#include <systemd/sd-journal.h>
#include <unistd.h>

namespace joywright {

int journalPriority(LogLevel level) {
    switch (level) {
        case LogLevel::debug:
            return 7;
        case LogLevel::info:
            return 6;
        case LogLevel::defaultLevel:
            return 5;
        case LogLevel::error:
            return 3;
    }
    return 5;
}

std::vector<std::string> journalFields(LogLevel level, LogCategory category,
                                       std::string_view message) {
    std::vector<std::string> fields;
    fields.reserve(4);
    fields.push_back("MESSAGE=" + std::string(message));
    fields.push_back("PRIORITY=" + std::to_string(journalPriority(level)));
    fields.push_back("SYSLOG_IDENTIFIER=" + std::string(kLogSubsystem));
    fields.push_back("JOYWRIGHT_CATEGORY=" + std::string(name(category)));
    return fields;
}

void JournalLogSink::write(LogLevel level, LogCategory category, std::string_view message) {
    // Fields go as they are (no format string), so a "%" in a message is just a character.
    std::vector<std::string> fields = journalFields(level, category, message);
    iovec vectors[4];
    for (std::size_t i = 0; i < fields.size(); ++i) {
        vectors[i].iov_base = fields[i].data();
        vectors[i].iov_len = fields[i].size();
    }
    if (sd_journal_sendv(vectors, static_cast<int>(fields.size())) < 0) {
        fallback_.write(level, category, message);
    }
}

std::shared_ptr<LogSink> makeSystemLogSink(const char* journalSocket) {
    if (journalSocket != nullptr && access(journalSocket, F_OK) == 0) {
        return std::make_shared<JournalLogSink>();
    }
    return std::make_shared<StderrLogSink>();
}

}  // namespace joywright
