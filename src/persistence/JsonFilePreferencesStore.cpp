#include "persistence/JsonFilePreferencesStore.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <system_error>

#include "persistence/DataDirectories.hpp"
#include "persistence/TextCoding.hpp"
#include "support/AtomicFile.hpp"
#include "support/FileContents.hpp"
#include "support/Log.hpp"

namespace joywright {

namespace {

using Json = nlohmann::json;

std::optional<PreferenceValue> decodeValue(const Json& json) {
    if (json.is_string()) return PreferenceValue(json.get<std::string>());
    if (json.is_boolean()) return PreferenceValue(json.get<bool>());
    if (json.is_array()) {
        std::vector<std::string> list;
        for (const auto& element : json) {
            if (!element.is_string()) return std::nullopt;
            list.push_back(element.get<std::string>());
        }
        return PreferenceValue(std::move(list));
    }
    if (json.is_object() && json.size() == 1) {
        if (const auto text = json.find("utf8"); text != json.end() && text->is_string()) {
            return PreferenceValue(PreferenceData{text->get<std::string>()});
        }
        if (const auto encoded = json.find("base64");
            encoded != json.end() && encoded->is_string()) {
            if (auto bytes = base64Decode(encoded->get_ref<const std::string&>())) {
                return PreferenceValue(PreferenceData{std::move(*bytes)});
            }
        }
    }
    return std::nullopt;
}

Json encodeValue(const PreferenceValue& value) {
    return std::visit(
        [](const auto& v) -> Json {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, PreferenceData>) {
                if (isValidUtf8(v.bytes)) return Json{{"utf8", v.bytes}};
                return Json{{"base64", base64Encode(v.bytes)}};
            } else {
                return Json(v);
            }
        },
        value);
}

std::string localTimestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H-%M-%S", &local);
    return std::string(text, length);
}

}  // namespace

JsonFilePreferencesStore::JsonFilePreferencesStore(std::filesystem::path file)
    : file_(std::move(file)) {
    readFile();
}

Expected<std::filesystem::path, std::string> JsonFilePreferencesStore::defaultFile() {
    auto folder = configDirectory();
    if (!folder) return folder;
    return *folder / "preferences.json";
}

void JsonFilePreferencesStore::readFile() {
    auto bytes = readFileContents(file_);
    if (!bytes) {
        if (bytes.error() == ENOENT) return;  // a first launch
        setAsideUnreadableFile(std::strerror(bytes.error()));
        return;
    }
    Json document = Json::parse(*bytes, nullptr, /*allow_exceptions=*/false);
    if (document.is_discarded()) {
        setAsideUnreadableFile("not valid JSON");
        return;
    }
    if (!document.is_object()) {
        setAsideUnreadableFile("not a JSON object");
        return;
    }
    for (auto& [key, json] : document.items()) {
        if (auto value = decodeValue(json)) {
            values_.emplace(key, std::move(*value));
        } else {
            JW_LOG_ERROR(general,
                         "Preference %s holds a value this version cannot read; kept as is",
                         key.c_str());
            unknownMembers_.emplace(key, std::move(json));
        }
    }
}

void JsonFilePreferencesStore::setAsideUnreadableFile(const std::string& reason) {
    std::filesystem::path aside = file_.string() + ".corrupt-" + localTimestamp();
    std::error_code error;
    for (int n = 2; std::filesystem::exists(aside, error) && n < 1000; ++n) {
        aside = file_.string() + ".corrupt-" + localTimestamp() + "-" + std::to_string(n);
    }
    std::filesystem::rename(file_, aside, error);
    if (error) {
        writable_ = false;
        JW_LOG_ERROR(general,
                     "Preferences file %s is unreadable (%s) and could not be moved aside (%s); "
                     "starting with defaults and keeping changes in memory only",
                     file_.c_str(), reason.c_str(), error.message().c_str());
        return;
    }
    JW_LOG_ERROR(
        general,
        "Preferences file %s is unreadable (%s); moved it to %s and starting with defaults",
        file_.c_str(), reason.c_str(), aside.c_str());
}

std::optional<PreferenceValue> JsonFilePreferencesStore::value(std::string_view key) const {
    const auto found = values_.find(key);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

void JsonFilePreferencesStore::setValue(std::string_view key, PreferenceValue value) {
    const auto found = values_.find(key);
    if (found != values_.end() && found->second == value && !lastWriteFailed_) return;
    if (const auto unknown = unknownMembers_.find(key); unknown != unknownMembers_.end()) {
        unknownMembers_.erase(unknown);
    }
    values_.insert_or_assign(std::string(key), std::move(value));
    writeFile();
}

void JsonFilePreferencesStore::removeValue(std::string_view key) {
    bool removed = false;
    if (const auto found = values_.find(key); found != values_.end()) {
        values_.erase(found);
        removed = true;
    }
    if (const auto unknown = unknownMembers_.find(key); unknown != unknownMembers_.end()) {
        unknownMembers_.erase(unknown);
        removed = true;
    }
    if (removed || lastWriteFailed_) writeFile();
}

void JsonFilePreferencesStore::writeFile() {
    if (!writable_) return;
    Json document = Json::object();
    for (const auto& [key, json] : unknownMembers_)
        document[key] = json;
    for (const auto& [key, value] : values_)
        document[key] = encodeValue(value);
    // Text that is not UTF-8 cannot be JSON; it is written with replacement characters rather
    // than not at all.
    std::string bytes = document.dump(2, ' ', false, Json::error_handler_t::replace);
    bytes += '\n';

    if (file_.has_parent_path()) {
        std::error_code ignored;  // a missing folder makes the write below fail and say so
        std::filesystem::create_directories(file_.parent_path(), ignored);
    }
    const auto failure = writeFileAtomically(file_, bytes);
    lastWriteFailed_ = failure.has_value();
    if (failure) {
        JW_LOG_ERROR(general, "Failed to write preferences to %s: %s", file_.c_str(),
                     failure->c_str());
    }
}

}  // namespace joywright
