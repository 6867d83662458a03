#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "VirtualController.hpp"

namespace joywright::e2e {

// Drives a virtual controller from text commands, one per line, so a test can steer a separate
// process (a test build of the application reading its standard input):
//
//   attach [name]            plug in a controller (name default "Joywright Virtual Pad")
//   detach                   unplug it
//   button <name> <0|1>      SDL's button names: a b x y back guide start leftstick rightstick
//                            leftshoulder rightshoulder dpup dpdown dpleft dpright
//   stick <left|right> <x> <y>   -1...1 each, y up
//   trigger <left|right> <v>     0...1
//
// Values reach the program at its next SDL pump. Main thread only.
class ControllerScript {
public:
    // Runs one command; the reason when it cannot (unknown command, bad value, no controller).
    // Blank lines and lines starting with "#" do nothing.
    std::optional<std::string> run(std::string_view line);

    VirtualController* controller() const { return controller_.get(); }

private:
    std::unique_ptr<VirtualController> controller_;
};

}  // namespace joywright::e2e
