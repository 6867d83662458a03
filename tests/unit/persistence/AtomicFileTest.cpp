#include <gtest/gtest.h>

#include "PersistenceTestSupport.hpp"
#include "support/AtomicFile.hpp"

namespace joywright {
namespace {

using testing::entryNames;
using testing::readFile;
using testing::TempFolder;

TEST(AtomicFile, ReplacesTheTargetAndLeavesNoTemporaryFile) {
    TempFolder folder;
    const auto target = folder / "a.json";
    ASSERT_EQ(writeFileAtomically(target, "old"), std::nullopt);
    ASSERT_EQ(writeFileAtomically(target, "new contents"), std::nullopt);
    EXPECT_EQ(readFile(target), "new contents");
    EXPECT_EQ(entryNames(folder.path()), std::vector<std::string>{"a.json"});
}

TEST(AtomicFile, EmptyContentsGiveAnEmptyFile) {
    TempFolder folder;
    ASSERT_EQ(writeFileAtomically(folder / "empty", ""), std::nullopt);
    EXPECT_EQ(std::filesystem::file_size(folder / "empty"), 0u);
}

TEST(AtomicFile, MissingFolderFailsWithAReadableReasonAndCreatesNothing) {
    TempFolder folder;
    const auto failure = writeFileAtomically(folder / "missing" / "a.json", "x");
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find("No such file or directory"), std::string::npos) << *failure;
    EXPECT_TRUE(entryNames(folder.path()).empty());
}

// A folder squatting on the target name makes the final rename fail, even for root.
TEST(AtomicFile, FailedRenameRemovesTheTemporaryFileAndKeepsTheTarget) {
    TempFolder folder;
    std::filesystem::create_directory(folder / "a.json");
    const auto failure = writeFileAtomically(folder / "a.json", "x");
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(*failure, "Could not replace " + (folder / "a.json").string() + ": Is a directory");
    EXPECT_EQ(entryNames(folder.path()), std::vector<std::string>{"a.json"});
    EXPECT_TRUE(std::filesystem::is_directory(folder / "a.json"));
}

TEST(AtomicFile, ReadOnlyFolderFailsAndKeepsTheOldContents) {
    if (::geteuid() == 0) GTEST_SKIP() << "running as root, which ignores folder permissions";
    TempFolder folder;
    ASSERT_EQ(writeFileAtomically(folder / "a.json", "old"), std::nullopt);
    ::chmod(folder.path().c_str(), 0555);
    const auto failure = writeFileAtomically(folder / "a.json", "new");
    ::chmod(folder.path().c_str(), 0755);
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find("Permission denied"), std::string::npos) << *failure;
    EXPECT_EQ(readFile(folder / "a.json"), "old");
}

}  // namespace
}  // namespace joywright
