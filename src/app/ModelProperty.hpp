#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace joywright {

// The observable properties of the Model, one case per property (declaration order of the
// Model's fields).
enum class ModelProperty : std::uint8_t {
    mainWindowIsVisible,
    appIsFocused,
    gamepad,
    controllerDisplayInfo,
    selection,
    mappings,
    selectedInputId,
    isTrusted,
    availableUpdate,
    saveStatus,
    corruptMappingIDs,
    unrecoverableCorruptFiles,
    loadError,
    runState,
    recordOnce,
    useRelativeMouse,
    responseCurve,
    autoEnableMode,
    lastUsedMappingId,
    autoScan,
    showUnassigned,
    controllerSettingsDict,
};

inline constexpr std::size_t kModelPropertyCount = 22;

// All cases in declaration order.
const std::array<ModelProperty, kModelPropertyCount>& allModelProperties();

// The field's name: "mainWindowIsVisible", "appIsFocused", ...
std::string_view name(ModelProperty property);

}  // namespace joywright
