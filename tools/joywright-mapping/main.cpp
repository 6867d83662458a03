// joywright-mapping: checks and formats mapping documents kept by hand or in version control.
//
//   joywright-mapping validate FILE   print the document as Joywright writes it (exit 0), or one
//                                     line "<kind> at <location>: <text>" on stderr (exit 1)
//   joywright-mapping validate -      the same for standard input
//   joywright-mapping format FILE     rewrite a valid file in canonical form, atomically; an
//                                     invalid file is reported as above and left untouched
//
// Exit status 2: bad usage, or a file that cannot be read or written.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "model/MappingDocument.hpp"
#include "support/AtomicFile.hpp"

namespace {

using namespace joywright;

constexpr int kInvalid = 1;
constexpr int kUsageOrIo = 2;

constexpr std::string_view kUsage =
    "Usage: joywright-mapping validate FILE\n"
    "       joywright-mapping validate -\n"
    "       joywright-mapping format FILE\n"
    "\n"
    "validate  prints the mapping document as Joywright writes it, or one line\n"
    "          \"<kind> at <location>: <text>\" on standard error and exit status 1;\n"
    "          \"-\" reads standard input.\n"
    "format    rewrites a valid file in canonical form; an invalid file is reported\n"
    "          the same way and left untouched.\n"
    "\n"
    "Exit status: 0 valid, 1 invalid document, 2 bad usage or unreadable file.\n";

int usageError(std::string_view message) {
    std::cerr << "joywright-mapping: " << message << "\n\n" << kUsage;
    return kUsageOrIo;
}

// The whole file (or standard input for "-"), or none after printing why it can't be read.
std::optional<std::string> readInput(const std::string& path) {
    if (path == "-") {
        std::ostringstream text;
        text << std::cin.rdbuf();
        if (std::cin.bad()) {
            std::cerr << "joywright-mapping: cannot read standard input\n";
            return std::nullopt;
        }
        return text.str();
    }
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        std::cerr << "joywright-mapping: cannot read " << path << ": it is a folder\n";
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::cerr << "joywright-mapping: cannot read " << path << ": " << std::strerror(errno)
                  << "\n";
        return std::nullopt;
    }
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) {
        std::cerr << "joywright-mapping: cannot read " << path << "\n";
        return std::nullopt;
    }
    return text;
}

// The canonical text of a document, or none after printing the reader's one-line error.
std::optional<std::string> canonical(std::string_view text) {
    const auto mapping = readMappingDocument(text);
    if (!mapping) {
        std::cerr << mapping.error().description() << "\n";
        return std::nullopt;
    }
    return writeMappingDocument(*mapping);
}

int validate(const std::string& path) {
    const auto text = readInput(path);
    if (!text) return kUsageOrIo;
    const auto written = canonical(*text);
    if (!written) return kInvalid;
    std::cout << *written << std::flush;
    return std::cout ? 0 : kUsageOrIo;
}

int format(const std::string& path) {
    if (path == "-") return usageError("format needs a file; use validate - for standard input");
    const auto text = readInput(path);
    if (!text) return kUsageOrIo;
    const auto written = canonical(*text);
    if (!written) return kInvalid;
    if (*written == *text) return 0;  // already canonical; leave the file and its time alone
    // Through a symbolic link, the file it points to is rewritten and the link kept.
    std::error_code error;
    auto target = std::filesystem::canonical(path, error);
    if (error) target = path;
    const auto permissions = std::filesystem::status(target, error).permissions();
    if (const auto failure = writeFileAtomically(target, *written)) {
        std::cerr << "joywright-mapping: " << *failure << "\n";
        return kUsageOrIo;
    }
    // The new file was created with default permissions; keep the ones the file had.
    if (!error) std::filesystem::permissions(target, permissions, error);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::cout << kUsage;
        return 0;
    }
    if (argc < 2) return usageError("missing command");
    const std::string_view command = argv[1];
    if (command != "validate" && command != "format")
        return usageError("unknown command \"" + std::string(command) + "\"");
    if (argc < 3) return usageError(std::string(command) + " needs a FILE argument");
    if (argc > 3) return usageError("too many arguments");
    return command == "validate" ? validate(argv[2]) : format(argv[2]);
}
