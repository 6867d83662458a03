#include "engine/ResponseCurve.hpp"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "model/Mapping.hpp"

namespace joywright {

namespace {

constexpr double kPresetTolerance = 0.01;
constexpr int kChartSteps = 50;  // 51 samples, 0.02 apart

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
        {newMappingID(), 1.0, "Linear", "No acceleration. Predictable"},
        {newMappingID(), 1.5, "Mild", "Balanced precision + speed"},
        {newMappingID(), 2.0, "Standard", "Standard precision aiming"},
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
