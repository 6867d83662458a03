#include "app/Preferences.hpp"

#include "support/Log.hpp"

namespace joywright {

std::optional<std::string> Preferences::dataText(std::string_view key) const {
    auto data = store_.data(key);
    if (!data) return std::nullopt;
    return std::move(data->bytes);
}

void Preferences::setDataText(std::string_view key, std::string text) {
    store_.setValue(key, PreferenceData{std::move(text)});
}

std::optional<ResponseCurve> Preferences::responseCurve() const {
    const auto text = dataText(kResponseCurveKey);
    return text ? decodeResponseCurve(*text) : std::nullopt;
}

void Preferences::setResponseCurve(const ResponseCurve& curve) {
    setDataText(kResponseCurveKey, encodeResponseCurve(curve));
}

std::optional<AutoEnableMode> Preferences::autoEnableMode() const {
    const auto text = dataText(kAutoEnableModeKey);
    return text ? decodeAutoEnableMode(*text) : std::nullopt;
}

void Preferences::setAutoEnableMode(const AutoEnableMode& mode) {
    setDataText(kAutoEnableModeKey, encodeAutoEnableMode(mode));
}

std::optional<Uuid> Preferences::lastUsedMappingId() const {
    const auto text = store_.string(kLastUsedMappingIdKey);
    return text ? Uuid::parse(*text) : std::nullopt;
}

void Preferences::setLastUsedMappingId(const std::optional<Uuid>& id) {
    if (id)
        store_.setValue(kLastUsedMappingIdKey, id->text());
    else
        store_.removeValue(kLastUsedMappingIdKey);
}

std::optional<ControllerSettingsDictionary> Preferences::controllerSettings() const {
    const auto text = dataText(kControllerSettingsKey);
    if (!text) return std::nullopt;
    auto decoded = decodeControllerSettings(*text);
    if (!decoded) return std::nullopt;
    return std::move(decoded).value();
}

bool Preferences::setControllerSettings(const ControllerSettingsDictionary& settings) {
    auto encoded = encodeControllerSettings(settings);
    if (!encoded) {
        JW_LOG_ERROR(general, "Failed to encode controller settings: %s", encoded.error().c_str());
        return false;
    }
    setDataText(kControllerSettingsKey, std::move(encoded).value());
    return true;
}

std::optional<UpdateDismissal> Preferences::updateDismissal() const {
    const auto text = dataText(kUpdateDismissalKey);
    return text ? decodeUpdateDismissal(*text) : std::nullopt;
}

void Preferences::setUpdateDismissal(const UpdateDismissal& dismissal) {
    setDataText(kUpdateDismissalKey, encodeUpdateDismissal(dismissal));
}

}  // namespace joywright
