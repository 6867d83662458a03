#include "controller/ControllerDisplayInfo.hpp"

#include "controller/Gamepad.hpp"

namespace joywright {

std::string ControllerDisplayInfo::displayName() const {
    if (!vendorName) return productCategory;
    return *vendorName + " (" + productCategory + ")";
}

ControllerDisplayInfo controllerDisplayInfo(const Gamepad& gamepad) {
    const std::optional<ControllerDescription> controller = gamepad.controller();
    if (!controller) return {.productCategory = "Unknown"};
    return {
        .vendorName = controller->vendorName,
        .productCategory = controller->productCategory,
        .batteryLevel = controller->batteryLevel,
    };
}

std::string settingsKey(const ControllerDisplayInfo& info) {
    return info.vendorName.value_or("") + "/" + info.productCategory;
}

}  // namespace joywright
