#pragma once

#include <optional>
#include <variant>

#include "support/Uuid.hpp"

namespace joywright {

// What the main window shows: the controller settings screen, or one mapping in the editor.
struct SidebarSelection {
    struct Controller {
        friend bool operator==(const Controller&, const Controller&) = default;
    };
    struct MappingItem {
        Uuid id;
        friend bool operator==(const MappingItem&, const MappingItem&) = default;
    };

    std::variant<Controller, MappingItem> value{Controller{}};

    static SidebarSelection controller() { return {Controller{}}; }
    static SidebarSelection mapping(Uuid id) { return {MappingItem{id}}; }

    bool isController() const { return std::holds_alternative<Controller>(value); }
    // The selected mapping's id; none for the controller.
    std::optional<Uuid> mappingId() const {
        if (const auto* item = std::get_if<MappingItem>(&value)) return item->id;
        return std::nullopt;
    }

    friend bool operator==(const SidebarSelection&, const SidebarSelection&) = default;
};

}  // namespace joywright
