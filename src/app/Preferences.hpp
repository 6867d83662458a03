#pragma once

#include <optional>
#include <string_view>

#include "app/AutoEnableMode.hpp"
#include "app/UpdateDismissal.hpp"
#include "controller/ControllerSettings.hpp"
#include "engine/ResponseCurve.hpp"
#include "persistence/PreferencesStore.hpp"
#include "support/Uuid.hpp"

namespace joywright {

// Preference keys of the application model. The names are stored on disk and must never change.
inline constexpr std::string_view kResponseCurveKey = "responseCurve";            // data
inline constexpr std::string_view kAutoEnableModeKey = "autoEnableMode";          // data
inline constexpr std::string_view kLastUsedMappingIdKey = "lastUsedMappingId";    // text
inline constexpr std::string_view kControllerSettingsKey = "controllerSettings";  // data
inline constexpr std::string_view kUpdateDismissalKey = "updateDismissal";        // data

// The model's lasting choices in the preferences store, each in its one encoding: the data keys
// hold compact UTF-8 JSON as a data value, "lastUsedMappingId" the canonical upper-case UUID
// text. Reads give none when the key is missing, holds another type or does not decode (the
// stored value is then left alone until the next write replaces it). Main thread only.
class Preferences {
public:
    explicit Preferences(PreferencesStore& store) : store_(store) {}

    std::optional<ResponseCurve> responseCurve() const;
    void setResponseCurve(const ResponseCurve& curve);

    std::optional<AutoEnableMode> autoEnableMode() const;
    void setAutoEnableMode(const AutoEnableMode& mode);

    // Any case is read; the written text is upper case. None removes the key.
    std::optional<Uuid> lastUsedMappingId() const;
    void setLastUsedMappingId(const std::optional<Uuid>& id);

    std::optional<ControllerSettingsDictionary> controllerSettings() const;
    // Writes nothing and logs "Failed to encode controller settings: <reason>" when the
    // dictionary cannot be encoded; returns whether it was written.
    bool setControllerSettings(const ControllerSettingsDictionary& settings);

    std::optional<UpdateDismissal> updateDismissal() const;
    void setUpdateDismissal(const UpdateDismissal& dismissal);

    PreferencesStore& store() { return store_; }

private:
    std::optional<std::string> dataText(std::string_view key) const;
    void setDataText(std::string_view key, std::string text);

    PreferencesStore& store_;
};

}  // namespace joywright
