#include <gtest/gtest.h>

#include <fstream>

#include "ModelHarness.hpp"
#include "model/MappingDocument.hpp"
#include "support/Log.hpp"

namespace joywright::test {
namespace {

Mapping readDocument(const std::filesystem::path& file) {
    std::ifstream in(file);
    const std::string text(std::istreambuf_iterator<char>(in), {});
    auto read = readMappingDocument(text);
    EXPECT_TRUE(read.hasValue()) << file;
    return read ? read.value() : Mapping{};
}

const Mapping* named(const std::vector<Mapping>& mappings, std::string_view name) {
    const auto found = std::find_if(mappings.begin(), mappings.end(),
                                    [&](const Mapping& m) { return m.name == name; });
    return found == mappings.end() ? nullptr : &*found;
}

constexpr auto kW = static_cast<std::uint16_t>(KeyCode::w);

// From a first launch to quitting, and a second launch over the same folder and preferences.
TEST(ModelScenario, LaunchPlayEditQuitAndLaunchAgain) {
    ModelHarness h;
    ScopedLogCapture log;

    // First launch: the three example mappings are written to the folder.
    Model& model = h.launch();
    ASSERT_EQ(model.mappings().size(), 3u);
    for (const auto& mapping : model.mappings()) {
        SCOPED_TRACE(mapping.name);
        EXPECT_EQ(readDocument(h.storage.fileFor(mapping.id)), mapping);
    }
    const Mapping web = model.mappings()[0];
    const Mapping* found = named(model.mappings(), "First-person shooter");
    ASSERT_NE(found, nullptr);
    const Mapping shooter = *found;

    // The window appears focused; a controller connects; the user starts the shooter mapping.
    model.setAppIsFocused(true);
    model.gamepadConnected(h.gamepad);
    EXPECT_EQ(log->count("Gamepad connected: Gamepad"), 1u);
    // Settings the user changes along the way.
    model.setAutoEnableMode(AutoEnableMode::lastUsed());
    model.setResponseCurve(ResponseCurve::exponential(1.5));
    model.updateControllerSettings({.deadZone = 0.1f, .calibration = {}},
                                   *model.controllerDisplayInfo());
    model.setSelection(SidebarSelection::mapping(shooter.id));
    model.startMapping(shooter);
    EXPECT_EQ(log->count("Runner started: First-person shooter"), 1u);

    // Holding the left stick up holds W, which repeats after the system delay.
    h.gamepad->leftThumbstick().set(0, 1);
    h.display.tick(1.0 / 60);
    EXPECT_EQ(countTokens(h.synthesizer, "+w("), 1u);
    EXPECT_TRUE(h.synthesizer.heldKeyCodes.contains(kW));
    h.display.tick(1.0 / 60, 60);
    EXPECT_GE(countTokens(h.synthesizer, "*w("), 10u);
    EXPECT_EQ(countTokens(h.synthesizer, "-w("), 0u);

    // An edit of another mapping reaches its file 0.3 s after the edit, not before.
    Mapping browsing = web;
    browsing.name = "Browsing";
    model.updateMapping(browsing);
    h.loop.advance(0.29);
    EXPECT_EQ(readDocument(h.storage.fileFor(web.id)).name, "Web surfing");
    h.loop.advance(0.01);
    EXPECT_EQ(readDocument(h.storage.fileFor(web.id)).name, "Browsing");
    EXPECT_TRUE(h.synthesizer.heldKeyCodes.contains(kW)) << "saving does not disturb the engine";

    // A last edit of the running mapping, then quit before the debounce ends.
    model.setOutput(Output::pressKey(KeyCombo{.key = KeyCode::e, .modifiers = {}}),
                    InputName::buttonA);
    h.gamepad->leftThumbstick().set(0, 0.95f);  // the reinstalled handlers press W again
    h.display.tick(1.0 / 60);
    ASSERT_TRUE(h.synthesizer.heldKeyCodes.contains(kW));
    const auto edited = *model.mapping(shooter.id);
    model.shutdown();
    EXPECT_FALSE(h.synthesizer.heldKeyCodes.contains(kW));
    EXPECT_TRUE(h.synthesizer.nothingHeld()) << h.synthesizer.describeHeld();
    EXPECT_EQ(readDocument(h.storage.fileFor(shooter.id)), edited);
    EXPECT_EQ(log->count("Model shut down"), 1u);
    const auto leftOnQuit = model.mappings();
    h.model.reset();

    // Second launch over the same folder and preferences.
    h.gamepad = std::make_shared<FakeGamepad>();
    Model& again = h.launch();
    EXPECT_EQ(again.mappings(), leftOnQuit);
    EXPECT_EQ(again.mapping(shooter.id)->output(InputName::buttonA),
              Output::pressKey(KeyCombo{.key = KeyCode::e, .modifiers = {}}));
    EXPECT_EQ(again.autoEnableMode(), AutoEnableMode::lastUsed());
    EXPECT_EQ(again.lastUsedMappingId(), shooter.id);
    EXPECT_EQ(again.responseCurve(), ResponseCurve::exponential(1.5));
    EXPECT_EQ(h.runner.responseCurve(), ResponseCurve::exponential(1.5));
    EXPECT_EQ(again.controllerSettingsDict().at("Fake Vendor/Gamepad").deadZone, 0.1f);
    EXPECT_EQ(again.selection(), SidebarSelection::mapping(leftOnQuit[0].id));
    EXPECT_TRUE(again.corruptMappingIDs().empty());
    EXPECT_TRUE(again.unrecoverableCorruptFiles().empty());

    // The controller connecting again starts the mapping used last.
    again.gamepadConnected(h.gamepad);
    EXPECT_EQ(again.runningMappingId(), shooter.id);
    EXPECT_EQ(again.runState(), RunState::running(edited));
    again.shutdown();
}

}  // namespace
}  // namespace joywright::test
