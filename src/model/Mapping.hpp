#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/Direction.hpp"
#include "model/InputName.hpp"
#include "model/Output.hpp"
#include "support/Uuid.hpp"

namespace joywright {

inline constexpr std::string_view kCurrentSchemaVersion = "1.0";

struct Input {
    InputName id;
    Output output;

    friend bool operator==(const Input&, const Input&) = default;
};

// A named binding of the 25 controller inputs to outputs. In memory `inputs` is always
// normalised (25 entries in InputName order) and `schemaVersion` is "1.0".
struct Mapping {
    Uuid id;
    std::string name;
    std::vector<Input> inputs;
    ThumbstickMode leftThumbstickMode = ThumbstickMode::smooth;
    ThumbstickMode rightThumbstickMode = ThumbstickMode::smooth;
    std::string schemaVersion{kCurrentSchemaVersion};

    // The output of the first input with that name, or none.
    std::optional<Output> output(InputName input) const;
    // Same, with noop instead of none.
    Output outputOrNoop(InputName input) const;

    friend bool operator==(const Mapping&, const Mapping&) = default;
};

// Exactly 25 inputs in InputName order: the last entry per name wins; missing names get noop.
std::vector<Input> normalizedInputs(std::span<const Input> inputs);

// A new version-7 UUID: 48-bit Unix milliseconds, then random bits from getrandom(2). Ids made
// in later milliseconds sort after earlier ones; a clock that reads before 1970 counts as 1970
// and a clock that steps back reuses the last millisecond handed out, so the random bits keep
// ids unique. Any thread.
Uuid newMappingID();

// The version-7 layout (RFC 9562): bytes 0-5 the low 48 bits of `unixMilliseconds`, most
// significant first; byte 6 0x70 | low 4 bits of random[0]; byte 7 random[1]; byte 8
// 0x80 | low 6 bits of random[2]; bytes 9-15 random[3...9].
Uuid version7Uuid(std::uint64_t unixMilliseconds, const std::array<std::uint8_t, 10>& random);

// "Untitled mapping", or "Untitled mapping N" with the smallest free N >= 2.
std::string nextUntitledName(std::span<const Mapping> existing);

// A mapping with a new id, the next untitled name, every input noop, both sticks smooth.
Mapping newBlankMapping(std::span<const Mapping> existing);

}  // namespace joywright
