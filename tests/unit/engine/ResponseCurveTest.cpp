#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>

#include "engine/ResponseCurve.hpp"

namespace joywright {
namespace {

TEST(ResponseCurve, ShapesDeflectionIntoASpeedFactor) {
    struct Case {
        double exponent, deflection, factor;
    };
    constexpr Case cases[] = {{2, 0, 0},      {2, 0.5, 0.25},   {2, 1, 1},
                              {2, 1.4142, 1}, {0.5, 0.25, 0.5}, {1, 0.3, 0.3}};
    EXPECT_EQ(ResponseCurve{}.exponent, 2.0);
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(ResponseCurve::exponential(c.exponent).evaluate(c.deflection), c.factor)
            << c.exponent << " " << c.deflection;
    }
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
        {R"({"exponent": 2.5, "type": "exponential", "extra": true})", 2.5},
        {R"({"type": "exponential"})", std::nullopt},
        {R"({"type": "exponential", "exponent": "2"})", std::nullopt},
        {R"({"type": "Linear"})", std::nullopt},
        {R"({"type": "quadratic", "exponent": 2})", std::nullopt},
        {R"({"exponent": 2})", std::nullopt},
        {R"({"type": 1, "exponent": 2})", std::nullopt},
        {R"([])", std::nullopt},
        {R"("linear")", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        const auto curve = decodeResponseCurve(c.json);
        EXPECT_EQ(curve ? std::optional(curve->exponent) : std::nullopt, c.exponent);
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
    struct Expected {
        const char* label;
        double exponent;
        const char* description;
    };
    constexpr Expected expected[] = {{"Linear", 1.0, "No acceleration. Predictable"},
                                     {"Mild", 1.5, "Balanced precision + speed"},
                                     {"Standard", 2.0, "Standard precision aiming"}};
    const auto& presets = curvePresets();
    for (std::size_t i = 0; i < presets.size(); ++i) {
        EXPECT_EQ(std::tie(presets[i].label, presets[i].exponent, presets[i].description),
                  std::tuple(expected[i].label, expected[i].exponent, expected[i].description));
    }
    EXPECT_NE(presets[0].id, presets[1].id);
    EXPECT_NE(presets[1].id, presets[2].id);
    EXPECT_EQ(curvePresets()[0].id, presets[0].id);  // made once per process
}

TEST(CurvePreset, MatchesTheFirstPresetWithinOneHundredth) {
    struct Case {
        double exponent;
        const char* label;
    };
    const Case cases[] = {{1.995, "Standard"}, {1.98, ""},        {2.0, "Standard"},
                          {1.0, "Linear"},     {1.009, "Linear"}, {1.01, ""},
                          {1.5, "Mild"},       {1.7, ""},         {10, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exponent);
        const auto preset = matchingPreset(c.exponent);
        EXPECT_EQ(preset ? preset->label : "", c.label);
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
