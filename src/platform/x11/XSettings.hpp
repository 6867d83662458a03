#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace joywright {

// The integer setting `name` ("Net/DoubleClickTime") in the bytes of an XSETTINGS manager's
// _XSETTINGS_SETTINGS property; none when it is absent, not an integer, or the data is
// malformed. The bytes come from another client and are checked before every read.
std::optional<std::int32_t> xsettingsInteger(std::span<const std::uint8_t> data,
                                             std::string_view name);

}  // namespace joywright
