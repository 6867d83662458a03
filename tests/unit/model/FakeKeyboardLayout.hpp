#pragma once

#include <map>
#include <optional>
#include <string>

#include "model/KeyboardLayout.hpp"

namespace joywright {

// A keyboard layout that answers from a table and counts what it was asked.
class FakeKeyboardLayout final : public KeyboardLayout {
public:
    FakeKeyboardLayout(std::map<KeyCode, std::string> texts) : texts_(std::move(texts)) {}

    std::optional<std::string> keyText(KeyCode key) const override {
        ++queries;
        const auto it = texts_.find(key);
        if (it == texts_.end()) return std::nullopt;
        return it->second;
    }

    mutable int queries = 0;

private:
    std::map<KeyCode, std::string> texts_;
};

}  // namespace joywright
