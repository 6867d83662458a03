#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "PersistenceTestSupport.hpp"
#include "model/MappingDocument.hpp"
#include "persistence/MappingSyncCoordinator.hpp"
#include "support/Log.hpp"
#include "support/VirtualMainLoop.hpp"

namespace joywright {
namespace {

using testing::entryNames;
using testing::readFile;
using testing::TempFolder;

// Real write failures on a real folder: the coordinator reports `error`, and every document
// already on disk still reads back unchanged.
class WriteFailureScenario {
public:
    explicit WriteFailureScenario(std::filesystem::path directory)
        : directory_(std::move(directory)), storage_(directory_) {
        std::filesystem::create_directories(directory_);
        coordinator_.onSaveStatusChanged = [this](const SaveStatus& s) { statuses.push_back(s); };
        mappings = coordinator_.load();
        for (const auto& mapping : mappings)
            before_.push_back(readFile(fileOf(mapping)));
    }

    // Edits one mapping and lets the debounce run out.
    void edit(const std::string& name) {
        mappings[1].name = name;
        coordinator_.scheduleSave(mappings);
        loop_.advance(0.3);
    }

    std::filesystem::path fileOf(const Mapping& mapping) const {
        return directory_ / (mapping.id.text() + ".json");
    }

    // Problems found, one per line; empty when the failure was reported and nothing was lost.
    std::string checkFailureReported(const std::string& expectedReason) const {
        std::string problems;
        const auto* error = statuses.empty() ? nullptr : statuses.back().as<SaveStatus::Error>();
        const std::string prefix =
            "Failed to persist 1 change(s): save " + mappings[1].id.text() + ": ";
        if (!error || !error->text.starts_with(prefix) ||
            error->text.find(expectedReason) == std::string::npos) {
            problems += "status: " + (statuses.empty() ? "none" : statuses.back().description()) +
                        ", wanted an error naming \"" + expectedReason + "\"\n";
        }
        for (std::size_t i = 0; i < mappings.size(); ++i) {
            if (readFile(fileOf(mappings[i])) != before_[i]) {
                problems += "document " + std::to_string(i) + " changed or lost\n";
            }
        }
        for (const auto& name : entryNames(directory_)) {
            if (name.front() == '.') problems += "temporary file left: " + name + "\n";
        }
        return problems;
    }

    std::string checkSaved() const {
        if (statuses.empty() || statuses.back() != SaveStatus::idle()) return "status not idle\n";
        const auto onDisk = readMappingDocument(readFile(fileOf(mappings[1])));
        if (!onDisk || *onDisk != mappings[1]) return "edit not on disk after the retry\n";
        return {};
    }

    std::vector<Mapping> mappings;
    std::vector<SaveStatus> statuses;

private:
    std::filesystem::path directory_;
    MappingFileStorage storage_;
    InMemoryPreferencesStore defaults_;
    VirtualMainLoop loop_;
    MappingSyncCoordinator coordinator_{storage_, defaults_, loop_, seconds(0.3)};
    std::vector<std::string> before_;
};

constexpr int kCannotMount = 77;

// Runs `scenario` in a child process with a fresh tmpfs of 64 KiB mounted at `mountPoint` in a
// private mount namespace. Gives the scenario's report, or none when this machine does not let
// the test mount one (not root, or no mount namespaces).
std::optional<std::string> inSmallTmpfs(const std::filesystem::path& mountPoint,
                                        const std::function<std::string()>& scenario) {
    int report[2];
    if (::pipe(report) != 0) return "pipe failed";
    const pid_t child = ::fork();
    if (child < 0) return "fork failed";
    if (child == 0) {
        ::close(report[0]);
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0) {
            _exit(kCannotMount);
        }
        const std::string problems = scenario();
        if (::write(report[1], problems.data(), problems.size()) < 0) _exit(2);
        _exit(0);
    }
    ::close(report[1]);
    std::string problems;
    char buffer[512];
    for (ssize_t got; (got = ::read(report[0], buffer, sizeof buffer)) > 0;) {
        problems.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(report[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotMount) return std::nullopt;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return problems + "scenario process ended with status " + std::to_string(status);
    }
    return problems;
}

bool fillUp(const std::filesystem::path& mount) {
    const int fd = ::open((mount / "filler").c_str(), O_WRONLY | O_CREAT, 0644);
    const std::string block(4096, 'x');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    return ::close(fd) == 0;
}

bool remount(const std::filesystem::path& mount, unsigned long flags) {
    return ::mount("tmpfs", mount.c_str(), nullptr, MS_REMOUNT | flags, nullptr) == 0;
}

TEST(MappingWriteFailure, FullOrReadOnlyFileSystemReportsAnErrorAndLosesNothing) {
    struct Case {
        const char* what;
        bool (*fail)(const std::filesystem::path& mount);
        bool (*mend)(const std::filesystem::path& mount);
        const char* reason;
    };
    static constexpr Case kCases[] = {
        {"full", fillUp,
         [](const std::filesystem::path& mount) {
             return std::filesystem::remove(mount / "filler");
         },
         "No space left on device"},
        {"read-only", [](const std::filesystem::path& mount) { return remount(mount, MS_RDONLY); },
         [](const std::filesystem::path& mount) { return remount(mount, 0); },
         "Read-only file system"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const auto problems = inSmallTmpfs(folder.path(), [&] {
            ScopedLogCapture quiet;
            WriteFailureScenario scenario(folder / "Mappings");
            if (!c.fail(folder.path())) return std::string("could not make the writes fail");
            scenario.edit("Edited while writes fail");
            std::string found = scenario.checkFailureReported(c.reason);
            if (!c.mend(folder.path())) return found + "could not make the writes work again";
            scenario.edit("Edited after writes work again");
            return found + scenario.checkSaved();
        });
        if (!problems)
            GTEST_SKIP() << "cannot mount a small tmpfs here (needs root and mount namespaces)";
        EXPECT_EQ(*problems, "");
    }
}

TEST(MappingWriteFailure, ReadOnlyFolderReportsAnErrorAndLosesNothing) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "running as root, which ignores folder permissions; the read-only file "
                        "system test covers root";
    }
    TempFolder folder;
    ScopedLogCapture quiet;
    WriteFailureScenario scenario(folder / "Mappings");
    ::chmod((folder / "Mappings").c_str(), 0555);
    scenario.edit("Edited in a read-only folder");
    EXPECT_EQ(scenario.checkFailureReported("Permission denied"), "");
    ::chmod((folder / "Mappings").c_str(), 0755);
    scenario.edit("Edited after it became writable");
    EXPECT_EQ(scenario.checkSaved(), "");
}

}  // namespace
}  // namespace joywright
