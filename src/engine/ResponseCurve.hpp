#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/Uuid.hpp"

namespace joywright {

// How far a stick is pushed to how fast the cursor moves: factor = pow(min(m, 1), exponent).
// Linear is exponent 1; there is no separate linear value in memory.
struct ResponseCurve {
    static constexpr double kMinExponent = 0.1;
    static constexpr double kMaxExponent = 10.0;

    double exponent = 2.0;

    static ResponseCurve exponential(double exponent) { return {exponent}; }
    // Speed factor for a stick vector of length m >= 0.
    double evaluate(double m) const;

    friend bool operator==(const ResponseCurve&, const ResponseCurve&) = default;
};

// JSON: {"type": "exponential", "exponent": x} always written; "linear" reads as 1.0; the exponent
// is clamped into 0.1...10.0; a missing or unknown type, or a missing exponent for
// "exponential", is an error (none).
std::string encodeResponseCurve(const ResponseCurve& curve);
std::optional<ResponseCurve> decodeResponseCurve(std::string_view json);

struct CurvePreset {
    Uuid id;
    double exponent;
    std::string_view label;
    std::string_view description;
};

// Linear 1.0, Mild 1.5, Standard 2.0, in display order.
const std::array<CurvePreset, 3>& curvePresets();
// The first preset whose exponent is within 0.01 of `exponent`, or none.
std::optional<CurvePreset> matchingPreset(double exponent);

struct CurvePoint {
    double input;
    double output;
};
// 51 samples: inputs 0, 0.02, ..., 1; output pow(input, exponent).
std::vector<CurvePoint> chartSamples(const ResponseCurve& curve);

}  // namespace joywright
