#include "persistence/PreferencesStore.hpp"

namespace joywright {

namespace {

template <class T>
std::optional<T> typedValue(const PreferencesStore& store, std::string_view key) {
    auto stored = store.value(key);
    if (!stored) return std::nullopt;
    if (auto* typed = std::get_if<T>(&*stored)) return std::move(*typed);
    return std::nullopt;
}

}  // namespace

std::optional<std::string> PreferencesStore::string(std::string_view key) const {
    return typedValue<std::string>(*this, key);
}

std::optional<std::vector<std::string>> PreferencesStore::stringList(std::string_view key) const {
    return typedValue<std::vector<std::string>>(*this, key);
}

std::optional<PreferenceData> PreferencesStore::data(std::string_view key) const {
    return typedValue<PreferenceData>(*this, key);
}

bool PreferencesStore::boolean(std::string_view key) const {
    return typedValue<bool>(*this, key).value_or(false);
}

std::optional<PreferenceValue> InMemoryPreferencesStore::value(std::string_view key) const {
    const auto found = values_.find(key);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

void InMemoryPreferencesStore::setValue(std::string_view key, PreferenceValue value) {
    values_.insert_or_assign(std::string(key), std::move(value));
    writes_.emplace_back(key);
}

void InMemoryPreferencesStore::removeValue(std::string_view key) {
    if (const auto found = values_.find(key); found != values_.end()) values_.erase(found);
    writes_.emplace_back(key);
}

}  // namespace joywright
