#pragma once

#include <map>
#include <optional>
#include <string>

#include "model/KeyboardLayout.hpp"

namespace joywright {

// A keyboard layout that answers from a table and counts what it was asked.
struct FakeKeyboardLayout final : KeyboardLayout {
    explicit FakeKeyboardLayout(std::map<KeyCode, std::string> keyTexts)
        : texts(std::move(keyTexts)) {}

    std::optional<std::string> keyText(KeyCode key) const override {
        ++queries;
        const auto it = texts.find(key);
        return it == texts.end() ? std::nullopt : std::optional(it->second);
    }

    std::map<KeyCode, std::string> texts;
    mutable int queries = 0;
};

}  // namespace joywright
