#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace joywright {

// Raw bytes, as the store keeps a data value (the preference JSON records are UTF-8 text in one).
struct PreferenceData {
    std::string bytes;
    friend bool operator==(const PreferenceData&, const PreferenceData&) = default;
};

using PreferenceValue = std::variant<std::string, bool, std::vector<std::string>, PreferenceData>;

// The per-user key-value store that holds the user's lasting choices and the persistence flags.
// Values are text, Bool, list of text or data. Main thread only.
class PreferencesStore {
public:
    virtual ~PreferencesStore() = default;

    virtual std::optional<PreferenceValue> value(std::string_view key) const = 0;
    virtual void setValue(std::string_view key, PreferenceValue value) = 0;
    virtual void removeValue(std::string_view key) = 0;

    // Typed reads: none when the key is missing or holds another type.
    std::optional<std::string> string(std::string_view key) const;
    std::optional<std::vector<std::string>> stringList(std::string_view key) const;
    std::optional<PreferenceData> data(std::string_view key) const;
    // False when missing or not a Bool.
    bool boolean(std::string_view key) const;
};

// Keeps everything in memory; for tests and previews.
class InMemoryPreferencesStore final : public PreferencesStore {
public:
    std::optional<PreferenceValue> value(std::string_view key) const override;
    void setValue(std::string_view key, PreferenceValue value) override;
    void removeValue(std::string_view key) override;

    // Every write and removal so far, in order, as the key written; for tests.
    const std::vector<std::string>& writes() const { return writes_; }

private:
    std::map<std::string, PreferenceValue, std::less<>> values_;
    std::vector<std::string> writes_;
};

}  // namespace joywright
