#include "support/AtomicFile.hpp"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace joywright {

namespace {

std::string errnoText(int error) {
    return std::strerror(error);
}

std::string failure(std::string_view what, const std::filesystem::path& path, int error) {
    std::string text(what);
    text += ' ';
    text += path.string();
    text += ": ";
    text += errnoText(error);
    return text;
}

// 16 hex digits from getrandom(2), or from the process id and a counter if that fails; O_EXCL
// catches any collision either way.
std::string randomSuffix() {
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t value = 0;
    if (getrandom(&value, sizeof value, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof value))
        value = (static_cast<std::uint64_t>(getpid()) << 32) ^ counter.fetch_add(1);
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out(16, '0');
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = kDigits[(value >> (4 * i)) & 0xF];
    return out;
}

// Writes all of `bytes`, retrying after interruptions and short writes; 0 or an errno value.
int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

int fsyncRetrying(int fd) {
    while (::fsync(fd) != 0) {
        if (errno != EINTR) return errno;
    }
    return 0;
}

// Makes the rename itself durable. File systems that cannot sync a folder (EINVAL) have nothing
// more to flush.
int syncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    int error = fsyncRetrying(fd);
    ::close(fd);
    if (error == EINVAL) error = 0;
    return error;
}

}  // namespace

std::optional<std::string> writeFileAtomically(const std::filesystem::path& path,
                                               std::string_view bytes) {
    if (!path.has_filename()) return failure("Could not write", path, EISDIR);
    const std::filesystem::path folder =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    std::string temporaryName = ".";
    temporaryName += path.filename().string();
    temporaryName += ".tmp-";
    temporaryName += randomSuffix();
    const std::filesystem::path temporary = folder / temporaryName;

    const int fd =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) return failure("Could not create a temporary file for", path, errno);

    auto abandon = [&](std::string_view what, int error) {
        ::unlink(temporary.c_str());
        return failure(what, path, error);
    };

    if (const int error = writeAll(fd, bytes); error != 0) {
        ::close(fd);
        return abandon("Could not write", error);
    }
    // Data must reach the disk before the rename publishes it, or a power cut could leave the
    // new name pointing at an empty file.
    if (const int error = fsyncRetrying(fd); error != 0) {
        ::close(fd);
        return abandon("Could not flush", error);
    }
    if (::close(fd) != 0 && errno != EINTR) return abandon("Could not close", errno);

    if (::rename(temporary.c_str(), path.c_str()) != 0) return abandon("Could not replace", errno);

    // The target now holds the new contents; an unsynced folder only risks the rename itself
    // being undone by a power cut, which a retry repairs.
    if (const int error = syncFolder(folder); error != 0)
        return failure("Could not sync the folder of", path, error);
    return std::nullopt;
}

}  // namespace joywright
