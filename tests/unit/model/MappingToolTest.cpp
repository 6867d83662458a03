#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "model/DefaultMappings.hpp"
#include "model/MappingDocument.hpp"

namespace joywright {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

void spit(const fs::path& path, std::string_view text) {
    std::ofstream(path, std::ios::binary) << text;
}

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the built joywright-mapping in a scratch folder, feeding `input` on standard input.
class MappingTool : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "joywright-mapping-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    // `args` as the shell splits them.
    ToolRun run(const std::string& args, std::string_view input = "") {
        spit(dir_ / "in", input);
        const auto command = std::string(JOYWRIGHT_MAPPING_TOOL) + " " + args + " <" + path("in") +
                             " >" + path("out") + " 2>" + path("err");
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(dir_ / "out"),
                slurp(dir_ / "err")};
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
};

const std::string kValid = writeMappingDocument(firstPersonShooterMapping());

TEST_F(MappingTool, ValidatePrintsTheCanonicalDocument) {
    // A compact, reordered, lower-case-id spelling of the same document.
    auto mapping = *readMappingDocument(kValid);
    auto id = mapping.id.text();
    std::transform(id.begin(), id.end(), id.begin(), [](char c) { return std::tolower(c); });
    spit(path("m.json"), R"({"schemaVersion":"1.0","name":")" + mapping.name +
                             R"(","inputs":[],"id":")" + id + R"("})");
    mapping.inputs = normalizedInputs({});
    mapping.leftThumbstickMode = ThumbstickMode::smooth;
    const auto fromFile = run("validate " + path("m.json"));
    EXPECT_EQ(fromFile.status, 0);
    EXPECT_EQ(fromFile.out, writeMappingDocument(mapping));
    EXPECT_EQ(fromFile.err, "");

    const auto fromStdin = run("validate -", kValid);
    EXPECT_EQ(fromStdin.status, 0);
    EXPECT_EQ(fromStdin.out, kValid);
}

TEST_F(MappingTool, ValidateReportsOneLineForAnInvalidDocument) {
    auto newer = kValid;
    newer.replace(newer.find("\"1.0\""), 5, "\"2.0\"");
    const std::pair<std::string, std::string_view> kCases[] = {
        {"{",
         "notJSON at document: The text is not valid JSON: Expected a member name in quotes, "
         "found end of text at line 1, column 2"},
        {newer, R"(unsupportedSchemaVersion at schemaVersion: Unsupported schema version "2.0")"},
        {R"({"id":"0192F0C8-3B7A-7C1D-8E2F-3A4B5C6D7E8F","name":"n","inputs":[{"id":"B",)"
         R"("output":{"pressKey":{"combo":{"modifiers":["hyper\n"]}}}}]})",
         R"(dataCorrupted at inputs[0].output.pressKey.combo.modifiers[0]: )"
         R"(Unknown ModifierKey value: hyper\n)"},
    };
    for (const auto& [input, line] : kCases) {
        SCOPED_TRACE(input.substr(0, 60));
        const auto result = run("validate -", input);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, std::string(line) + "\n");
    }
}

TEST_F(MappingTool, FormatRewritesAValidFileInPlaceAndLeavesAnInvalidOneUntouched) {
    const auto file = path("m.json");
    auto loose = kValid;
    loose.erase(std::remove(loose.begin(), loose.end(), '\n'), loose.end());
    spit(file, loose);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    const auto result = run("format " + file);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out + result.err, "");
    EXPECT_EQ(slurp(file), kValid);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(run("format " + file).status, 0);  // already canonical
    EXPECT_EQ(slurp(file), kValid);

    const std::string broken = R"({"id":"x","name":"n","inputs":[]})";
    spit(file, broken);
    const auto refused = run("format " + file);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "dataCorrupted at id: Invalid UUID text \"x\"\n");
    EXPECT_EQ(slurp(file), broken);
    // No temporary file is left beside it: only m.json and the run's in, out and err.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 4);
}

TEST_F(MappingTool, UsageErrorsAndUnreadableFilesExitWithTwo) {
    const std::string missing = "validate " + path("missing.json");
    const std::string kCases[] = {"",
                                  "check m.json",
                                  "validate",
                                  "format",
                                  "validate a b",
                                  "format -",
                                  missing,
                                  "validate " + dir_.string()};
    for (const auto& args : kCases) {
        SCOPED_TRACE(args);
        const auto result = run(args);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(result.err.starts_with("joywright-mapping: ")) << result.err;
    }
    EXPECT_NE(run("").err.find("Usage: joywright-mapping validate FILE"), std::string::npos);
    EXPECT_NE(run(missing).err.find("No such file or directory"), std::string::npos);
    const auto help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("Usage:"));
}

}  // namespace
}  // namespace joywright
