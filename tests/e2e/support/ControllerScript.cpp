#include "ControllerScript.hpp"

#include <cctype>
#include <cmath>
#include <sstream>
#include <vector>

namespace joywright::e2e {

namespace {

std::vector<std::string> words(std::string_view line) {
    std::istringstream stream{std::string(line)};
    std::vector<std::string> result;
    for (std::string word; stream >> word;)
        result.push_back(word);
    return result;
}

std::optional<float> number(const std::string& text) {
    try {
        std::size_t used = 0;
        const float value = std::stof(text, &used);
        if (used != text.size() || !std::isfinite(value)) return std::nullopt;
        return value;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

std::optional<std::string> ControllerScript::run(std::string_view line) {
    const std::vector<std::string> w = words(line);
    if (w.empty() || w[0].starts_with("#")) return std::nullopt;
    const std::string& command = w[0];

    if (command == "attach") {
        if (controller_) return "a controller is already attached";
        std::string name = "Joywright Virtual Pad";
        if (w.size() > 1) {
            const auto start = line.find(w[1]);
            name = std::string(line.substr(start));
            while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back())))
                name.pop_back();
        }
        auto attached = VirtualController::attach(name);
        if (!attached) return attached.error();
        controller_ = std::move(attached).value();
        return std::nullopt;
    }
    if (!controller_) return "no controller is attached";
    if (command == "detach" && w.size() == 1) {
        controller_.reset();
        return std::nullopt;
    }
    if (command == "button" && w.size() == 3) {
        const SDL_GameControllerButton button = SDL_GameControllerGetButtonFromString(w[1].c_str());
        if (button == SDL_CONTROLLER_BUTTON_INVALID || button > SDL_CONTROLLER_BUTTON_DPAD_RIGHT) {
            return "unknown button \"" + w[1] + "\"";
        }
        if (w[2] != "0" && w[2] != "1") return "a button is 0 or 1";
        controller_->setButton(button, w[2] == "1");
        return std::nullopt;
    }
    const bool left = w.size() > 1 && w[1] == "left";
    const bool right = w.size() > 1 && w[1] == "right";
    if (command == "stick" && w.size() == 4 && (left || right)) {
        const auto x = number(w[2]);
        const auto y = number(w[3]);
        if (!x || !y) return "a stick takes two numbers";
        controller_->setStick(
            left ? VirtualController::Stick::left : VirtualController::Stick::right, *x, *y);
        return std::nullopt;
    }
    if (command == "trigger" && w.size() == 3 && (left || right)) {
        const auto v = number(w[2]);
        if (!v) return "a trigger takes a number";
        controller_->setTrigger(
            left ? SDL_CONTROLLER_AXIS_TRIGGERLEFT : SDL_CONTROLLER_AXIS_TRIGGERRIGHT, *v);
        return std::nullopt;
    }
    return "cannot run \"" + std::string(line) + "\"";
}

}  // namespace joywright::e2e
