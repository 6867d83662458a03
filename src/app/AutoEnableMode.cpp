#include "app/AutoEnableMode.hpp"

#include <nlohmann/json.hpp>

namespace joywright {

std::string encodeAutoEnableMode(const AutoEnableMode& mode) {
    nlohmann::ordered_json json = nlohmann::ordered_json::object();
    if (mode.isNone()) {
        json["type"] = "none";
    } else if (mode.isLastUsed()) {
        json["type"] = "lastUsed";
    } else {
        json["type"] = "specific";
        json["mappingId"] = mode.specificId()->text();
    }
    return json.dump();
}

std::optional<AutoEnableMode> decodeAutoEnableMode(std::string_view text) {
    const auto json = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (!json.is_object()) return std::nullopt;
    const auto type = json.find("type");
    if (type == json.end() || !type->is_string()) return std::nullopt;
    const auto& name = type->get_ref<const std::string&>();
    if (name == "none") return AutoEnableMode::none();
    if (name == "lastUsed") return AutoEnableMode::lastUsed();
    if (name != "specific") return std::nullopt;
    const auto id = json.find("mappingId");
    if (id == json.end() || !id->is_string()) return std::nullopt;
    const auto uuid = Uuid::parse(id->get_ref<const std::string&>());
    if (!uuid) return std::nullopt;
    return AutoEnableMode::specific(*uuid);
}

}  // namespace joywright
