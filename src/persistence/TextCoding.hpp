#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace joywright {

// True when `bytes` are well-formed UTF-8 (no overlong forms, surrogates or code points above
// U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// Standard base64 (RFC 4648) with '=' padding.
std::string base64Encode(std::string_view bytes);
// None unless `text` is padded standard base64; white space is not allowed.
std::optional<std::string> base64Decode(std::string_view text);

}  // namespace joywright
