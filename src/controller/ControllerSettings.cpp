#include "controller/ControllerSettings.hpp"

#include <charconv>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>

#include "controller/ControllerDisplayInfo.hpp"

namespace joywright {

namespace {

using Json = nlohmann::json;

// Steps per unit of dead zone (the slider moves by 0.01).
constexpr float kDeadZoneStepsPerUnit = 100.0f;

// The double nearest the shortest decimal text of `value`, so the writer prints 0.05 for 0.05f
// rather than 0.05000000074505806.
Json shortestNumber(float value) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    double number = static_cast<double>(value);
    std::from_chars(text, written.ptr, number);
    return number;
}

struct Path {
    const std::string& key;
    const char* member;
};

std::string problem(const Path& path, const char* what) {
    return "controller settings \"" + path.key + "\": " + what + " \"" + path.member + "\"";
}

// Reads member `name` of `object` as a 32-bit float into `out`; the error text on failure.
std::optional<std::string> readNumber(const Json& object, const char* name, const Path& path,
                                      float& out) {
    const auto found = object.find(name);
    if (found == object.end()) return problem(path, "missing member");
    if (!found->is_number()) return problem(path, "not a number:");
    const double value = found->get<double>();
    if (!(std::fabs(value) <= static_cast<double>(std::numeric_limits<float>::max())))
        return problem(path, "out of range:");
    out = static_cast<float>(value);
    return std::nullopt;
}

const Json* readObject(const Json& object, const char* name) {
    const auto found = object.find(name);
    if (found == object.end() || !found->is_object()) return nullptr;
    return &*found;
}

std::optional<std::string> readStick(const Json& calibration, const char* name,
                                     const std::string& key, const std::string& memberPrefix,
                                     ThumbstickCalibration& out) {
    const std::string stickPath = memberPrefix + name;
    const Json* stick = readObject(calibration, name);
    if (stick == nullptr) return problem({key, stickPath.c_str()}, "missing or not an object:");
    const std::string xPath = stickPath + ".x";
    const std::string yPath = stickPath + ".y";
    if (auto error = readNumber(*stick, "x", {key, xPath.c_str()}, out.x)) return error;
    if (auto error = readNumber(*stick, "y", {key, yPath.c_str()}, out.y)) return error;
    return std::nullopt;
}

std::optional<std::string> readSettings(const Json& entry, const std::string& key,
                                        ControllerSettings& out) {
    if (!entry.is_object()) return "controller settings \"" + key + "\": not an object";
    if (auto error = readNumber(entry, "deadZone", {key, "deadZone"}, out.deadZone)) return error;
    const Json* calibration = readObject(entry, "calibration");
    if (calibration == nullptr) return problem({key, "calibration"}, "missing or not an object:");
    if (auto error = readStick(*calibration, "left", key, "calibration.", out.calibration.left))
        return error;
    if (auto error = readStick(*calibration, "right", key, "calibration.", out.calibration.right))
        return error;
    return std::nullopt;
}

bool isFinite(const ControllerSettings& s) {
    const ControllerCalibration& c = s.calibration;
    return std::isfinite(s.deadZone) && std::isfinite(c.left.x) && std::isfinite(c.left.y) &&
           std::isfinite(c.right.x) && std::isfinite(c.right.y);
}

}  // namespace

float constrainedDeadZone(float deadZone) {
    if (std::isnan(deadZone)) return kDefaultDeadZone;
    const float steps = std::round(deadZone * kDeadZoneStepsPerUnit);
    const float snapped = steps / kDeadZoneStepsPerUnit;
    if (snapped < kMinimumDeadZone) return kMinimumDeadZone;
    if (snapped > kMaximumDeadZone) return kMaximumDeadZone;
    return snapped;
}

ControllerSettings settingsFor(const ControllerSettingsDictionary& dictionary,
                               const ControllerDisplayInfo& info) {
    const auto found = dictionary.find(settingsKey(info));
    return found == dictionary.end() ? ControllerSettings{} : found->second;
}

Expected<std::string, std::string> encodeControllerSettings(
    const ControllerSettingsDictionary& dictionary) {
    Json root = Json::object();
    for (const auto& [key, settings] : dictionary) {
        if (!isFinite(settings))
            return unexpected("controller settings \"" + key +
                              "\": a value is not a finite number");
        const auto stick = [](const ThumbstickCalibration& c) {
            return Json{{"x", shortestNumber(c.x)}, {"y", shortestNumber(c.y)}};
        };
        root[key] = Json{
            {"deadZone", shortestNumber(settings.deadZone)},
            {"calibration",
             {{"left", stick(settings.calibration.left)},
              {"right", stick(settings.calibration.right)}}},
        };
    }
    // Keys are text the platform reported; replace invalid UTF-8 rather than failing to save.
    return root.dump(-1, ' ', false, Json::error_handler_t::replace);
}

Expected<ControllerSettingsDictionary, std::string> decodeControllerSettings(
    std::string_view json) {
    const Json root = Json::parse(json, nullptr, false);
    if (root.is_discarded()) return unexpected(std::string("controller settings: not valid JSON"));
    if (!root.is_object()) return unexpected(std::string("controller settings: not a JSON object"));
    ControllerSettingsDictionary dictionary;
    for (const auto& [key, entry] : root.items()) {
        ControllerSettings settings;
        if (auto error = readSettings(entry, key, settings)) return unexpected(std::move(*error));
        dictionary.emplace(key, settings);
    }
    return dictionary;
}

}  // namespace joywright
