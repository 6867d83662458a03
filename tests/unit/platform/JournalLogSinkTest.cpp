#include "platform/linux/JournalLogSink.hpp"

#include <gtest/gtest.h>

namespace joywright {
namespace {

TEST(JournalLogSink, LevelsBecomeSyslogPriorities) {
    const std::pair<LogLevel, int> cases[] = {{LogLevel::debug, 7},
                                              {LogLevel::info, 6},
                                              {LogLevel::defaultLevel, 5},
                                              {LogLevel::error, 3}};
    for (const auto& [level, priority] : cases) {
        SCOPED_TRACE(std::string(name(level)));
        EXPECT_EQ(journalPriority(level), priority);
    }
}

TEST(JournalLogSink, FieldsCarryTheMessageIdentifierAndCategory) {
    EXPECT_EQ(journalFields(LogLevel::info, LogCategory::runner, "Runner at 100% — ok"),
              (std::vector<std::string>{"MESSAGE=Runner at 100% — ok", "PRIORITY=6",
                                        "SYSLOG_IDENTIFIER=com.tovask.Joywright",
                                        "JOYWRIGHT_CATEGORY=runner"}));
}

TEST(JournalLogSink, WithoutAJournalLinesGoToStandardError) {
    const auto sink = makeSystemLogSink("/nonexistent/journal/socket");
    EXPECT_NE(dynamic_cast<StderrLogSink*>(sink.get()), nullptr);
}

}  // namespace
}  // namespace joywright
