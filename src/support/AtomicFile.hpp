#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace joywright {

// Replaces `path` with `bytes` durably and atomically: a temporary file in the same folder
// (named ".<file name>.tmp-<random>"), flushed with fsync, renamed over the target, then the
// folder synced. After a crash at any moment the target holds either its old or its new
// contents, never a mix; only the temporary file may be left behind. The folder must exist.
// Returns none on success, or a readable description of the failure ("Could not write <path>:
// No space left on device"); the target is then untouched, except when only the final folder
// sync failed, where it already holds the new contents and writing again is harmless.
// Any thread; concurrent writers of the same path leave one of their contents.
[[nodiscard]] std::optional<std::string> writeFileAtomically(const std::filesystem::path& path,
                                                             std::string_view bytes);

}  // namespace joywright
