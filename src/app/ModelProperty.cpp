#include "app/ModelProperty.hpp"

namespace joywright {

const std::array<ModelProperty, kModelPropertyCount>& allModelProperties() {
    static constexpr std::array<ModelProperty, kModelPropertyCount> all{
        ModelProperty::mainWindowIsVisible,
        ModelProperty::appIsFocused,
        ModelProperty::gamepad,
        ModelProperty::controllerDisplayInfo,
        ModelProperty::selection,
        ModelProperty::mappings,
        ModelProperty::selectedInputId,
        ModelProperty::isTrusted,
        ModelProperty::availableUpdate,
        ModelProperty::saveStatus,
        ModelProperty::corruptMappingIDs,
        ModelProperty::unrecoverableCorruptFiles,
        ModelProperty::loadError,
        ModelProperty::runState,
        ModelProperty::recordOnce,
        ModelProperty::useRelativeMouse,
        ModelProperty::responseCurve,
        ModelProperty::autoEnableMode,
        ModelProperty::lastUsedMappingId,
        ModelProperty::autoScan,
        ModelProperty::showUnassigned,
        ModelProperty::controllerSettingsDict,
    };
    return all;
}

std::string_view name(ModelProperty property) {
    switch (property) {
        case ModelProperty::mainWindowIsVisible:
            return "mainWindowIsVisible";
        case ModelProperty::appIsFocused:
            return "appIsFocused";
        case ModelProperty::gamepad:
            return "gamepad";
        case ModelProperty::controllerDisplayInfo:
            return "controllerDisplayInfo";
        case ModelProperty::selection:
            return "selection";
        case ModelProperty::mappings:
            return "mappings";
        case ModelProperty::selectedInputId:
            return "selectedInputId";
        case ModelProperty::isTrusted:
            return "isTrusted";
        case ModelProperty::availableUpdate:
            return "availableUpdate";
        case ModelProperty::saveStatus:
            return "saveStatus";
        case ModelProperty::corruptMappingIDs:
            return "corruptMappingIDs";
        case ModelProperty::unrecoverableCorruptFiles:
            return "unrecoverableCorruptFiles";
        case ModelProperty::loadError:
            return "loadError";
        case ModelProperty::runState:
            return "runState";
        case ModelProperty::recordOnce:
            return "recordOnce";
        case ModelProperty::useRelativeMouse:
            return "useRelativeMouse";
        case ModelProperty::responseCurve:
            return "responseCurve";
        case ModelProperty::autoEnableMode:
            return "autoEnableMode";
        case ModelProperty::lastUsedMappingId:
            return "lastUsedMappingId";
        case ModelProperty::autoScan:
            return "autoScan";
        case ModelProperty::showUnassigned:
            return "showUnassigned";
        case ModelProperty::controllerSettingsDict:
            return "controllerSettingsDict";
    }
    return "unknown";
}

}  // namespace joywright
