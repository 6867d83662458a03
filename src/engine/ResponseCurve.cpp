#include "engine/ResponseCurve.hpp"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include <sys/random.h>

namespace joywright {

namespace {

constexpr double kPresetTolerance = 0.01;
constexpr int kChartSteps = 50;  // 51 samples, 0.02 apart

// A random (version 4) identifier; presets only need ids that differ within one process, so a
// short read falls back to distinct fixed bytes.
Uuid presetID(std::uint8_t index) {
    Uuid::Bytes bytes{};
    if (getrandom(bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) bytes = {};
    bytes[15] = static_cast<std::uint8_t>(bytes[15] ^ index);
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);
    return Uuid(bytes);
}

}  // namespace

double ResponseCurve::evaluate(double m) const {
    return std::pow(std::clamp(m, 0.0, 1.0), exponent);
}

std::string encodeResponseCurve(const ResponseCurve& curve) {
    return nlohmann::json{{"type", "exponential"}, {"exponent", curve.exponent}}.dump();
}

std::optional<ResponseCurve> decodeResponseCurve(std::string_view json) {
    const auto value = nlohmann::json::parse(json, nullptr, false);
    if (value.is_discarded() || !value.is_object()) return std::nullopt;
    const auto type = value.find("type");
    if (type == value.end() || !type->is_string()) return std::nullopt;
    const auto& typeName = type->get_ref<const std::string&>();
    if (typeName == "linear") return ResponseCurve::exponential(1.0);
    if (typeName != "exponential") return std::nullopt;
    const auto exponent = value.find("exponent");
    if (exponent == value.end() || !exponent->is_number()) return std::nullopt;
    return ResponseCurve::exponential(std::clamp(
        exponent->get<double>(), ResponseCurve::kMinExponent, ResponseCurve::kMaxExponent));
}

const std::array<CurvePreset, 3>& curvePresets() {
    static const std::array<CurvePreset, 3> presets{{
        {presetID(0), 1.0, "Linear", "No acceleration. Predictable"},
        {presetID(1), 1.5, "Mild", "Balanced precision + speed"},
        {presetID(2), 2.0, "Standard", "Standard precision aiming"},
    }};
    return presets;
}

std::optional<CurvePreset> matchingPreset(double exponent) {
    for (const auto& preset : curvePresets())
        if (std::abs(preset.exponent - exponent) < kPresetTolerance) return preset;
    return std::nullopt;
}

std::vector<CurvePoint> chartSamples(const ResponseCurve& curve) {
    std::vector<CurvePoint> samples;
    samples.reserve(kChartSteps + 1);
    for (int i = 0; i <= kChartSteps; ++i) {
        const double input = static_cast<double>(i) / kChartSteps;
        samples.push_back({input, std::pow(input, curve.exponent)});
    }
    return samples;
}

}  // namespace joywright
