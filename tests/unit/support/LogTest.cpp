#include <gtest/gtest.h>

#include <string>

#include "support/Log.hpp"

namespace joywright {
namespace {

TEST(Log, FormatsPrintfStyleIntoTheInstalledSink) {
    ScopedLogCapture capture;
    JW_LOG_ERROR(runner, "Ignoring large deltaTime %.*fs (> %.*fs)", 3, 0.30012, 3, 0.25);
    JW_LOG_DEFAULT(general, "Runner started: %s", "Example");
    const auto lines = capture->lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].message, "Ignoring large deltaTime 0.300s (> 0.250s)");
    EXPECT_EQ(lines[0].level, LogLevel::error);
    EXPECT_EQ(lines[0].category, LogCategory::runner);
    EXPECT_EQ(lines[1].level, LogLevel::defaultLevel);
    EXPECT_EQ(capture->count("Runner started: Example"), 1u);
}

TEST(Log, LongMessagesAreNotTruncated) {
    ScopedLogCapture capture;
    const std::string longText(2000, 'x');
    JW_LOG_INFO(backup, "%s", longText.c_str());
    EXPECT_EQ(capture->lines().at(0).message, longText);
}

}  // namespace
}  // namespace joywright
