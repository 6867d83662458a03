#include "app/UpdateDismissal.hpp"

#include <cmath>
#include <nlohmann/json.hpp>

namespace joywright {

double secondsSinceReferenceDate(WallClock::time_point time) {
    const auto sinceEpoch = std::chrono::duration<double>(time.time_since_epoch()).count();
    return sinceEpoch - kReferenceDateUnixSeconds;
}

std::string encodeUpdateDismissal(const UpdateDismissal& dismissal) {
    nlohmann::ordered_json json = nlohmann::ordered_json::object();
    json["version"] = dismissal.version;
    json["dismissedAt"] = dismissal.dismissedAt;
    // Invalid UTF-8 in the version becomes U+FFFD rather than failing the write.
    return json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::optional<UpdateDismissal> decodeUpdateDismissal(std::string_view text) {
    const auto json = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (!json.is_object()) return std::nullopt;
    const auto version = json.find("version");
    const auto dismissedAt = json.find("dismissedAt");
    if (version == json.end() || !version->is_string()) return std::nullopt;
    if (dismissedAt == json.end() || !dismissedAt->is_number()) return std::nullopt;
    const double seconds = dismissedAt->get<double>();
    if (!std::isfinite(seconds)) return std::nullopt;
    return UpdateDismissal{.version = version->get<std::string>(), .dismissedAt = seconds};
}

bool hidesRelease(const UpdateDismissal& dismissal, std::string_view version, double now) {
    return dismissal.version == version && now - dismissal.dismissedAt < kUpdateDismissalPeriod;
}

}  // namespace joywright
