// Looks arbitrary bytes up as every persisted name of the vocabulary: key numbers, modifier
// names, input titles, mode and direction names, UUID text. A lookup that succeeds must give
// back the text or number it was made from.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "model/Direction.hpp"
#include "model/InputName.hpp"
#include "model/KeyCode.hpp"
#include "model/ModifierKey.hpp"
#include "model/Output.hpp"
#include "support/Uuid.hpp"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

std::string upperCased(std::string_view text) {
    std::string out(text);
    for (auto& c : out)
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace joywright;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // The first four bytes (when there are four) as a key number.
    if (size >= 4) {
        std::uint32_t raw = 0;
        std::memcpy(&raw, data, 4);
        for (const std::uint32_t number : {raw, raw & 0xFFFFu, raw & 0x107Fu}) {
            if (const auto key = keyCodeFromRawValue(number)) {
                check(rawValue(*key) == number);
                check(isSystemKey(*key) == (number >= kSystemKeyOffset));
                check(!caseName(*key).empty());
                check(!displayName(*key, nullptr).empty());
            }
        }
    }

    if (const auto modifier = modifierKeyFromPersistedName(text)) {
        const bool sideless =
            text == "shift" || text == "control" || text == "option" || text == "command";
        check(persistedName(*modifier) == text ||
              (sideless && persistedName(*modifier).starts_with("left")));
    }
    if (const auto input = inputNameFromTitle(text)) check(title(*input) == text);
    if (const auto category = inputCategoryFromTitle(text)) check(title(*category) == text);
    if (const auto mode = thumbstickModeFromRawValue(text)) check(rawValue(*mode) == text);
    if (const auto mode = scrollMouseModeFromRawValue(text)) check(rawValue(*mode) == text);
    if (const auto direction = directionFromCaseName(text)) check(caseName(*direction) == text);
    if (const auto id = Uuid::parse(text)) {
        check(id->text() == upperCased(text));
        check(Uuid::parse(id->text()) == id);
    }
    return 0;
}
