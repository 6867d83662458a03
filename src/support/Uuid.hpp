#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace joywright {

// A 128-bit identifier. Its text is the canonical 36-character hyphenated form in upper case
// ("8E3C1A52-6B1F-7D2E-9A4B-0C1D2E3F4A5B"); parsing accepts either case.
class Uuid {
public:
    using Bytes = std::array<std::uint8_t, 16>;

    constexpr Uuid() = default;
    constexpr explicit Uuid(const Bytes& bytes) : bytes_(bytes) {}

    // None unless `text` is exactly 8-4-4-4-12 hexadecimal digits.
    static std::optional<Uuid> parse(std::string_view text);

    std::string text() const;
    const Bytes& bytes() const { return bytes_; }

    friend constexpr auto operator<=>(const Uuid&, const Uuid&) = default;

private:
    Bytes bytes_{};
};

}  // namespace joywright

template <>
struct std::hash<joywright::Uuid> {
    std::size_t operator()(const joywright::Uuid& id) const noexcept {
        std::size_t h = 1469598103934665603ULL;
        for (auto b : id.bytes())
            h = (h ^ b) * 1099511628211ULL;
        return h;
    }
};
