// The application as its own process: the test build (joywright's wiring plus a virtual
// controller scripted from standard input) and the shipped executable, each on a private Xvfb
// with their own data folders.
#include <sys/wait.h>

#include <csignal>
#include <fstream>
#include <sstream>

#include "E2eFixtures.hpp"
#include "e2e/support/ChildProcess.hpp"
#include "e2e/support/TemporaryDirectory.hpp"

namespace joywright::e2e {
namespace {

using namespace std::chrono_literals;

constexpr const char* kSigtermLine = "SIGTERM received — cleaning up before exit.";

class ApplicationProcessTest : public XServerTest {
protected:
    void spawn(const std::string& path) {
        auto child = ChildProcess::spawn({
            .path = path,
            .arguments = {},
            .environment = {{"DISPLAY", xvfb->displayName()},
                            {"XDG_DATA_HOME", (home.path() / "data").string()},
                            {"XDG_CONFIG_HOME", (home.path() / "config").string()}},
            .unset = {},
        });
        ASSERT_TRUE(child) << child.error();
        process = std::move(child).value();
    }

    // Sends a command to the test build and waits for its acknowledgement.
    void command(const std::string& line) {
        ASSERT_TRUE(process->send(line));
        const auto reply = process->waitForLine(
            [](const std::string& l) { return l.starts_with("ok ") || l.starts_with("error "); });
        ASSERT_TRUE(reply) << "no reply to " << line << "\n" << process->errorOutput();
        ASSERT_TRUE(reply->starts_with("ok ")) << *reply;
    }
    void expectLine(const std::string& line) {
        EXPECT_TRUE(process->waitForLine([&](const std::string& l) { return l == line; }))
            << "never printed " << line << "\n"
            << process->errorOutput();
    }
    // The exit status, or -1 when the process did not exit normally in time.
    int exitStatus() {
        const auto status = process->waitForExit();
        if (!status || !WIFEXITED(*status)) return -1;
        return WEXITSTATUS(*status);
    }

    // The text of every mapping file.
    std::string mappingFiles() {
        std::string all;
        for (const auto& entry :
             std::filesystem::directory_iterator(home.path() / "data/Joywright/Mappings")) {
            std::ifstream file(entry.path());
            std::ostringstream text;
            text << file.rdbuf();
            all += text.str();
        }
        return all;
    }

    TemporaryDirectory home;
    std::unique_ptr<ChildProcess> process;
};

// SIGTERM and SIGINT end the test build the same way.
class TerminationSignalTest : public ApplicationProcessTest,
                              public testing::WithParamInterface<int> {};

TEST_P(TerminationSignalTest, ReleasesEverythingWritesThePendingEditAndExitsZero) {
    spawn(JOYWRIGHT_E2E_HOST);
    expectLine("ready trusted=1");
    command("attach Signal Pad");
    expectLine("event gamepad Signal Pad");
    command("start Web surfing");
    expectLine("event running Web surfing");
    command("button a 1");
    command("button dpleft 1");
    command("trigger right 1");
    EXPECT_TRUE(observer->waitUntil([&] {
        return observer->keysHeld().size() == 5 && observer->buttonsHeld() == std::vector{1};
    })) << testing::PrintToString(observer->keysHeld());

    // An edit waits 0.3 s for its save; the signal comes well before that.
    command("rename Dragon Quest Builders 1 => Builders, renamed");
    process->signal(GetParam());
    EXPECT_EQ(exitStatus(), 0) << process->errorOutput();
    EXPECT_TRUE(observer->waitUntilNothingHeld()) << testing::PrintToString(observer->keysHeld());
    EXPECT_NE(process->errorOutput().find(kSigtermLine), std::string::npos)
        << process->errorOutput();
    EXPECT_NE(process->errorOutput().find("Model shut down"), std::string::npos);
    EXPECT_NE(mappingFiles().find("\"Builders, renamed\""), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminationSignalTest, testing::Values(SIGTERM, SIGINT),
                         [](const testing::TestParamInfo<int>& param) {
                             return std::string(param.param == SIGTERM ? "SIGTERM" : "SIGINT");
                         });

TEST_F(ApplicationProcessTest, TheShippedExecutableSaysHowToUseItAndEndsCleanlyOnSigterm) {
    spawn(JOYWRIGHT_EXECUTABLE);
    const auto notice = process->waitForLineStartingWith("Joywright ");
    ASSERT_TRUE(notice) << process->errorOutput();
    EXPECT_NE(notice->find("without its window and tray icon"), std::string::npos) << *notice;
    EXPECT_NE(notice->find((home.path() / "data/Joywright/Mappings").string()), std::string::npos)
        << *notice;
    EXPECT_NE(notice->find("joywright-mapping validate"), std::string::npos);
    EXPECT_EQ(notice->find("No input can be posted"), std::string::npos);
    EXPECT_TRUE(
        process->waitForLine([](const std::string& l) { return l.ends_with("Web surfing"); }));
    process->signal(SIGTERM);
    EXPECT_EQ(exitStatus(), 0) << process->errorOutput();
}

}  // namespace
}  // namespace joywright::e2e
