#include "shell/StartupNotice.hpp"

#include <sstream>

namespace joywright {

namespace {

std::string mappingName(const Model& model, const std::optional<Uuid>& id) {
    if (!id) return "none yet";
    if (const auto found = model.mapping(*id)) return "\"" + found->name + "\"";
    return id->text() + ", which no longer exists";
}

std::string autoEnableText(const Model& model) {
    const AutoEnableMode& mode = model.autoEnableMode();
    if (mode.isLastUsed())
        return "the last used mapping (" + mappingName(model, model.lastUsedMappingId()) + ")";
    if (const auto id = mode.specificId()) return mappingName(model, id);
    return "none, so nothing starts by itself";
}

}  // namespace

std::string startupNotice(const JoywrightApp& app) {
    const Model& model = app.model();
    std::ostringstream text;
    text << "Joywright " << JoywrightApp::version()
         << " is running without its window and tray icon, which are not built yet. "
            "Meanwhile, when a game controller connects it starts the mapping chosen by the "
            "\"autoEnableMode\" preference, now: "
         << autoEnableText(model) << ". ";
    if (const auto& file = app.preferencesFile()) {
        text << "Preferences are in " << file->string()
             << " (for example \"autoEnableMode\": {\"utf8\": "
                "\"{\\\"type\\\":\\\"specific\\\",\\\"mappingId\\\":\\\"<id>\\\"}\"}, or "
                "\"{\\\"type\\\":\\\"lastUsed\\\"}\"; edit it while Joywright is not running). ";
    } else {
        text << "Preferences are kept in memory only this time. ";
    }
    if (const auto folder = model.mappingsFolder()) {
        text << "Mappings are JSON files in " << folder->string()
             << "; check one with \"joywright-mapping validate FILE\". ";
    } else {
        text << "The mappings folder could not be opened, so edits are not saved. ";
    }
    if (!model.isTrusted()) {
        text << "No input can be posted: there is no X display with the XTest extension "
                "(see the log). ";
    }
    text << "Stop Joywright with Ctrl+C or SIGTERM.\n";
    if (!model.mappings().empty()) {
        text << "\nMappings:\n";
        for (const Mapping& mapping : model.mappings())
            text << "  " << mapping.id.text() << "  " << mapping.name << "\n";
    }
    return text.str();
}

}  // namespace joywright
