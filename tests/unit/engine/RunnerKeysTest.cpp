#include <gtest/gtest.h>

#include "RunnerHarness.hpp"

namespace joywright {
namespace {

using enum ModifierKey;
using test::keyDown;
using test::keyUp;
using test::RunnerHarness;
using test::Scenario;

// Frames of 1/64 s; repeat delay 0.5 s (32 frames), interval 0.125 s (8 frames). A key queued
// in a step is pressed at that step's first frame.
TEST(RunnerKeys, HoldsCountsAndRepeatsKeysAsUsersExpect) {
    const Scenario scenarios[] = {
        {"combo: modifiers down before the key, up after it in case order",
         {{{keyDown(KeyCode::a, {leftShift, leftCommand})},
           "+leftShift(0x20002) +leftCommand(0x12000A) +a(0x12010A)"},
          {{keyUp(KeyCode::a, {leftShift, leftCommand})},
           "-a(0x12010A) -leftShift(0x100008) -leftCommand(0x0)"}}},
        {"modifier-only combo posts only modifier events",
         {{{keyDown(std::nullopt, {leftControl, rightOption})},
           "+leftControl(0x40001) +rightOption(0xC0041)"},
          {{keyUp(std::nullopt, {leftControl, rightOption})},
           "-leftControl(0x80040) -rightOption(0x0)"}}},
        {"two inputs on w: two downs, one up at the last release, repeats until then",
         {{{keyDown(KeyCode::w), keyDown(KeyCode::w)}, "+w(0x100) +w(0x100)"},
          {{keyUp(KeyCode::w)}, ""},
          {{}, "*w(0x100)", 32},
          {{keyUp(KeyCode::w)}, "-w(0x100)"},
          {{}, "", 32}}},
        {"shared key with different modifiers: each modifier goes up with its holder",
         {{{keyDown(KeyCode::a, {leftShift})}, "+leftShift(0x20002) +a(0x20102)"},
          {{keyDown(KeyCode::a)}, "+a(0x20102)"},
          {{keyUp(KeyCode::a, {leftShift})}, "-leftShift(0x0)"},
          {{keyUp(KeyCode::a)}, "-a(0x100)"}}},
        {"shared modifier alone goes up only at the last release",
         {{{keyDown(std::nullopt, {leftCommand})}, "+leftCommand(0x100008)"},
          {{keyDown(std::nullopt, {leftCommand})}, ""},
          {{keyUp(std::nullopt, {leftCommand})}, ""},
          {{keyUp(std::nullopt, {leftCommand})}, "-leftCommand(0x0)"}}},
        {"releasing a key never pressed posts its up and leaves no debt",
         {{{keyUp(KeyCode::a)}, "-a(0x100)"},
          {{keyDown(KeyCode::a)}, "+a(0x100)"},
          {{}, "*a(0x100)", 32}}},
        {"held key repeats after the delay, then every interval",
         {{{keyDown(KeyCode::a)}, "+a(0x100)"},
          {{}, "", 31},
          {{}, "*a(0x100)"},
          {{}, "", 7},
          {{}, "*a(0x100)"},
          {{}, "*a(0x100) *a(0x100) *a(0x100)", 24}}},
        {"system keys never repeat",
         {{{keyDown(KeyCode::soundUp)}, "+soundUp(0xa00)"},
          {{}, "", 64},
          {{keyUp(KeyCode::soundUp)}, "-soundUp(0xb00)"}}},
        {"repeat carries the modifiers held through other inputs",
         {{{keyDown(KeyCode::a)}, "+a(0x100)"},
          {{keyDown(std::nullopt, {leftShift})}, "+leftShift(0x20002) *a(0x20102)", 32}}},
        {"press and release in one tick post both and schedule nothing",
         {{{keyDown(KeyCode::space), keyUp(KeyCode::space)}, "+space(0x100) -space(0x100)"},
          {{}, "", 40}}},
        {"pressing again after a release restarts the delay",
         {{{keyDown(KeyCode::a)}, "+a(0x100)", 30},
          {{keyUp(KeyCode::a)}, "-a(0x100)"},
          {{keyDown(KeyCode::a)}, "+a(0x100)"},
          {{}, "", 31},
          {{}, "*a(0x100)"}}},
        {"a discontinuity makes held keys wait the full delay again",
         {{{keyDown(KeyCode::a)}, "+a(0x100)", 28},
          {{}, "", 1, 0.3},
          {{}, "", 31},
          {{}, "*a(0x100)"}}},
    };
    RunnerHarness::playAll(scenarios);
}

}  // namespace
}  // namespace joywright
