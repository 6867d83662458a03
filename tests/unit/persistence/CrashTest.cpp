#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>

#include "PersistenceTestSupport.hpp"
#include "model/MappingDocument.hpp"
#include "persistence/MappingFileStorage.hpp"

namespace joywright {
namespace {

using testing::readFile;
using testing::TempFolder;

constexpr int kMappings = 5;
constexpr int kKills = 200;

// Version v of the stream edits mapping v % kMappings; its name carries v and a length that
// varies, so a document cut short or mixed from two versions cannot pass for either.
Mapping version(const std::vector<Mapping>& bases, long v) {
    Mapping mapping = bases[static_cast<std::size_t>(v % kMappings)];
    mapping.name =
        "edit " + std::to_string(v) + std::string(static_cast<std::size_t>(v % 7) * 300, '+');
    mapping.leftThumbstickMode = v % 2 == 0 ? ThumbstickMode::smooth : ThumbstickMode::eightWay;
    return mapping;
}

// Saves versions first, first + 1, ... forever, writing one byte to `progress` after each save
// returned. Never returns.
[[noreturn]] void saveForever(MappingFileStorage& storage, const std::vector<Mapping>& bases,
                              long first, int progress) {
    for (long v = first;; ++v) {
        if (storage.save(version(bases, v))) _exit(2);
        const char done = 1;
        if (::write(progress, &done, 1) != 1) _exit(3);
    }
}

// A writer killed with SIGKILL at random moments, again and again, never leaves a mapping file
// that is not exactly one of the versions it meant to write: the last one it finished or the
// one it was writing. Only hidden temporary files may be left behind.
TEST(MappingFileCrash, KilledWriterLeavesEachDocumentOldOrNewNeverTorn) {
    TempFolder folder;
    MappingFileStorage storage(folder.path());
    std::vector<Mapping> bases;
    std::vector<std::string> current;  // each mapping's last completed document
    for (int i = 0; i < kMappings; ++i) {
        bases.push_back(i % 2 == 0 ? webSurfingMapping() : dragonQuestBuilders1Mapping());
        bases.back().name = "initial";
        ASSERT_EQ(storage.save(bases.back()), std::nullopt);
        current.push_back(writeMappingDocument(bases.back()));
    }

    std::mt19937 random(20240611);
    long next = 0;  // the first version the next writer saves
    int temporaryFilesSeen = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        int progress[2];
        ASSERT_EQ(::pipe(progress), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(progress[0]);
            saveForever(storage, bases, next, progress[1]);
        }
        ::close(progress[1]);

        // Let the writer finish 0 or 1 saves, then strike somewhere inside the next one.
        const long waitFor = std::uniform_int_distribution<long>(0, 1)(random);
        long finished = 0;
        char byte;
        while (finished < waitFor && ::read(progress[0], &byte, 1) == 1)
            ++finished;
        const auto strikeAt =
            std::chrono::steady_clock::now() +
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, 12000)(random));
        while (std::chrono::steady_clock::now() < strikeAt) {
        }
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed on its own: " << status;
        char buffer[256];  // the writer is gone: read to the end of what it reported
        for (ssize_t got; (got = ::read(progress[0], buffer, sizeof buffer)) > 0;)
            finished += got;
        ::close(progress[0]);

        // Versions next .. next + finished - 1 completed; version next + finished may have been
        // under way (or even done) when the kill came. Each file must hold its mapping's last
        // completed version, or the one in flight.
        const long inFlight = next + finished;
        for (long v = next; v < inFlight; ++v) {
            current[static_cast<std::size_t>(v % kMappings)] =
                writeMappingDocument(version(bases, v));
        }
        const std::string inFlightDocument = writeMappingDocument(version(bases, inFlight));

        std::size_t documents = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            const std::string name = entry.path().filename().string();
            if (name.front() == '.') {
                ASSERT_NE(name.find(".json.tmp-"), std::string::npos) << name;
                std::filesystem::remove(entry.path());
                ++temporaryFilesSeen;
                continue;
            }
            const auto id = Uuid::parse(entry.path().stem().string());
            ASSERT_TRUE(id.has_value()) << "unexpected file " << name;
            std::size_t index = 0;
            while (index < bases.size() && bases[index].id != *id)
                ++index;
            ASSERT_LT(index, bases.size()) << name;

            const std::string bytes = readFile(entry.path());
            const auto document = readMappingDocument(bytes);
            ASSERT_TRUE(document.hasValue()) << name << ": " << document.error().description();
            ++documents;
            if (bytes == current[index]) continue;
            ASSERT_EQ(inFlight % kMappings, static_cast<long>(index))
                << name << " holds \"" << document->name.substr(0, 12)
                << "\", neither its last completed version nor the one in flight";
            ASSERT_EQ(bytes, inFlightDocument);
            current[index] = bytes;
        }
        ASSERT_EQ(documents, bases.size()) << "a document went missing";
        next = inFlight + 1;
    }
    RecordProperty("temporary_files_left", temporaryFilesSeen);
    RecordProperty("versions_written", static_cast<int>(next));
}

}  // namespace
}  // namespace joywright
