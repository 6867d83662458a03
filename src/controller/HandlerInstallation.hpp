#pragma once

namespace joywright {

class Frame;
class Gamepad;
struct ControllerSettings;
struct Mapping;

// Installs the running mapping's change handlers on every element of `gamepad` that a mapping can
// bind: both sticks (smooth or eight-way, as the mapping says, with that stick's calibration and
// the dead zone of `settings`; their own up/down/left/right handlers are cleared), the stick
// presses, shoulders, triggers, face and menu buttons and the four D-pad directions. A button
// bound to noop (or not bound at all) gets no handler; optional elements the controller lacks
// are skipped. The D-pad's own handler and the gamepad-wide handler are left alone.
//
// Everything is captured by value, except `frame`, which must outlive the handlers (the engine
// keeps its frame for its whole life). Each handler starts released and appends only to `frame`.
// Main thread.
void installHandlers(Gamepad& gamepad, const Mapping& mapping, const ControllerSettings& settings,
                     Frame& frame);

}  // namespace joywright
