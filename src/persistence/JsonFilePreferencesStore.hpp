#pragma once

#include <filesystem>
#include <map>
#include <string>

#include <nlohmann/json.hpp>

#include "persistence/PreferencesStore.hpp"
#include "support/Expected.hpp"

namespace joywright {

// The preferences store kept in one JSON object file, rewritten atomically on every change:
//   {"MappingOrder": ["8E3C…"], "MappingStore.didMigrate": true, "lastUsedMappingId": "8E3C…",
//    "responseCurve": {"utf8": "{\"type\":\"exponential\",\"exponent\":2}"},
//    "blob": {"base64": "AAEC"}}
// Text is a JSON string, Bool a JSON boolean, a list of text an array of strings, data an object
// holding the bytes as text ("utf8", when they are valid UTF-8) or as "base64".
//
// Nothing the user has stored is ever dropped silently: a file that cannot be read or parsed is
// renamed aside to "<name>.corrupt-<yyyy-MM-ddTHH-mm-ss>", logged at error level, and the store
// starts empty (if it cannot even be renamed, the store keeps everything in memory only and never
// writes over it). Members of a shape this store does not know are kept and written back as they
// were. A failed write is logged and the value is kept in memory; the next change writes the
// whole file again. Main thread only.
class JsonFilePreferencesStore final : public PreferencesStore {
public:
    explicit JsonFilePreferencesStore(std::filesystem::path file);

    // configDirectory()/preferences.json.
    static Expected<std::filesystem::path, std::string> defaultFile();

    std::optional<PreferenceValue> value(std::string_view key) const override;
    void setValue(std::string_view key, PreferenceValue value) override;
    void removeValue(std::string_view key) override;

    const std::filesystem::path& file() const { return file_; }

private:
    void readFile();
    void setAsideUnreadableFile(const std::string& reason);
    void writeFile();

    std::filesystem::path file_;
    std::map<std::string, PreferenceValue, std::less<>> values_;
    // Members of a shape this store does not read, written back untouched.
    std::map<std::string, nlohmann::json, std::less<>> unknownMembers_;
    bool writable_ = true;
    bool lastWriteFailed_ = false;
};

}  // namespace joywright
