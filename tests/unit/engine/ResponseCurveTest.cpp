#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>

#include "engine/ResponseCurve.hpp"

namespace joywright {
namespace {

TEST(ResponseCurve, ShapesDeflectionIntoASpeedFactor) {
    const ResponseCurve standard;
    EXPECT_EQ(standard.exponent, 2.0);
    EXPECT_EQ(standard.evaluate(0), 0);
    EXPECT_DOUBLE_EQ(standard.evaluate(0.5), 0.25);
    EXPECT_EQ(standard.evaluate(1), 1);
    EXPECT_EQ(standard.evaluate(1.4142), 1);
    EXPECT_DOUBLE_EQ(ResponseCurve::exponential(0.5).evaluate(0.25), 0.5);
    EXPECT_DOUBLE_EQ(ResponseCurve::exponential(1).evaluate(0.3), 0.3);
}

struct DecodeCase {
    const char* json;
    std::optional<double> exponent;
};

TEST(ResponseCurve, DecodesLinearAsOneAndClampsTheExponent) {
    const DecodeCase cases[] = {
        {R"({"type": "linear"})", 1.0},
        {R"({"type": "linear", "exponent": 3})", 1.0},
        {R"({"type": "linear", "exponent": "x"})", 1.0},
        {R"({"type": "exponential", "exponent": 1.7})", 1.7},
        {R"({"type": "exponential", "exponent": 25})", 10.0},
        {R"({"type": "exponential", "exponent": 0})", 0.1},
        {R"({"type": "exponential", "exponent": -3})", 0.1},
        {R"({"exponent": 2.5, "type": "exponential", "extra": true})", 2.5},
        {R"({"type": "exponential"})", std::nullopt},
        {R"({"type": "exponential", "exponent": "2"})", std::nullopt},
        {R"({"type": "Linear"})", std::nullopt},
        {R"({"type": "quadratic", "exponent": 2})", std::nullopt},
        {R"({"exponent": 2})", std::nullopt},
        {R"({"type": 1, "exponent": 2})", std::nullopt},
        {R"([])", std::nullopt},
        {R"("linear")", std::nullopt},
        {R"({"type": "linear")", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        const auto curve = decodeResponseCurve(c.json);
        ASSERT_EQ(curve.has_value(), c.exponent.has_value());
        if (curve) {
            EXPECT_DOUBLE_EQ(curve->exponent, *c.exponent);
        }
    }
}

TEST(ResponseCurve, AlwaysEncodesExponentialAndRoundTrips) {
    const auto json = nlohmann::json::parse(encodeResponseCurve(ResponseCurve::exponential(1.0)));
    EXPECT_EQ(json["type"], "exponential");
    EXPECT_EQ(json["exponent"], 1);
    EXPECT_EQ(json.size(), 2u);
    for (double exponent : {0.1, 1.0, 1.5, 2.0, 3.7, 10.0}) {
        SCOPED_TRACE(exponent);
        const auto decoded = decodeResponseCurve(encodeResponseCurve({exponent}));
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->exponent, exponent);
    }
}

TEST(CurvePreset, ThreePresetsInDisplayOrderWithDistinctIds) {
    const auto& presets = curvePresets();
    EXPECT_EQ(presets[0].label, "Linear");
    EXPECT_EQ(presets[0].exponent, 1.0);
    EXPECT_EQ(presets[0].description, "No acceleration. Predictable");
    EXPECT_EQ(presets[1].label, "Mild");
    EXPECT_EQ(presets[1].exponent, 1.5);
    EXPECT_EQ(presets[1].description, "Balanced precision + speed");
    EXPECT_EQ(presets[2].label, "Standard");
    EXPECT_EQ(presets[2].exponent, 2.0);
    EXPECT_EQ(presets[2].description, "Standard precision aiming");
    EXPECT_NE(presets[0].id, presets[1].id);
    EXPECT_NE(presets[1].id, presets[2].id);
    EXPECT_EQ(curvePresets()[0].id, presets[0].id);  // made once per process
}

TEST(CurvePreset, MatchesTheFirstPresetWithinOneHundredth) {
    struct Case {
        double exponent;
        const char* label;
    };
    const Case cases[] = {{1.995, "Standard"}, {1.98, nullptr},   {2.0, "Standard"},
                          {1.0, "Linear"},     {1.009, "Linear"}, {1.01, nullptr},
                          {1.5, "Mild"},       {1.7, nullptr},    {10, nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exponent);
        const auto preset = matchingPreset(c.exponent);
        if (c.label == nullptr) {
            EXPECT_EQ(preset, std::nullopt);
        } else {
            ASSERT_TRUE(preset);
            EXPECT_EQ(preset->label, c.label);
        }
    }
}

TEST(ResponseCurve, ChartHasFiftyOneSamplesFromZeroToOne) {
    const auto samples = chartSamples(ResponseCurve::exponential(3.5));
    ASSERT_EQ(samples.size(), 51u);
    EXPECT_EQ(samples.front().input, 0);
    EXPECT_EQ(samples.front().output, 0);
    EXPECT_EQ(samples.back().input, 1);
    EXPECT_EQ(samples.back().output, 1);
    EXPECT_DOUBLE_EQ(samples[25].input, 0.5);
    EXPECT_DOUBLE_EQ(samples[25].output, std::pow(0.5, 3.5));
    EXPECT_DOUBLE_EQ(samples[1].input, 0.02);
}

}  // namespace
}  // namespace joywright
