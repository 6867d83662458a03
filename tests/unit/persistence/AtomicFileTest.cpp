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
    ASSERT_EQ(writeFileAtomically(folder / "empty", ""), std::nullopt);
    EXPECT_EQ(std::filesystem::file_size(folder / "empty"), 0u);
    EXPECT_EQ(entryNames(folder.path()), (std::vector<std::string>{"a.json", "empty"}));
}

TEST(AtomicFile, FailureSaysWhyAndLeavesNoTemporaryFile) {
    TempFolder folder;
    const auto missing = writeFileAtomically(folder / "missing" / "a.json", "x");
    ASSERT_TRUE(missing.has_value());
    EXPECT_TRUE(missing->ends_with(": No such file or directory")) << *missing;
    // A folder squatting on the target name makes the final rename fail, even for root.
    std::filesystem::create_directory(folder / "a.json");
    EXPECT_EQ(writeFileAtomically(folder / "a.json", "x"),
              "Could not replace " + (folder / "a.json").string() + ": Is a directory");
    EXPECT_EQ(entryNames(folder.path()), std::vector<std::string>{"a.json"});
    EXPECT_TRUE(std::filesystem::is_directory(folder / "a.json"));
}

}  // namespace
}  // namespace joywright
