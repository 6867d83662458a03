#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "support/Uuid.hpp"

namespace joywright {

// Which mapping starts by itself when a controller connects.
struct AutoEnableMode {
    struct None {
        friend bool operator==(const None&, const None&) = default;
    };
    struct LastUsed {
        friend bool operator==(const LastUsed&, const LastUsed&) = default;
    };
    struct Specific {
        Uuid mappingId;
        friend bool operator==(const Specific&, const Specific&) = default;
    };

    std::variant<None, LastUsed, Specific> value{None{}};

    static AutoEnableMode none() { return {None{}}; }
    static AutoEnableMode lastUsed() { return {LastUsed{}}; }
    static AutoEnableMode specific(Uuid id) { return {Specific{id}}; }

    bool isNone() const { return std::holds_alternative<None>(value); }
    bool isLastUsed() const { return std::holds_alternative<LastUsed>(value); }
    // The id of `specific`; none for the other modes.
    std::optional<Uuid> specificId() const {
        if (const auto* s = std::get_if<Specific>(&value)) return s->mappingId;
        return std::nullopt;
    }

    friend bool operator==(const AutoEnableMode&, const AutoEnableMode&) = default;
};

// Compact JSON: {"type":"none"}, {"type":"lastUsed"},
// {"type":"specific","mappingId":"8E3C1A52-6B1F-7D2E-9A4B-0C1D2E3F4A5B"}.
std::string encodeAutoEnableMode(const AutoEnableMode& mode);

// The inverse. None for anything but an object whose "type" is one of the three texts;
// "specific" also needs a "mappingId" text holding a UUID (either case). Extra members are
// ignored.
std::optional<AutoEnableMode> decodeAutoEnableMode(std::string_view json);

}  // namespace joywright
