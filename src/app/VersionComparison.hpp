#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace joywright {

// "1.10.2" -> {1, 10, 2}. Every piece between dots must be a decimal integer (an optional "+" or
// "-", then digits only) that fits 64 bits; an empty piece ("1..2", "", "1.") or any other
// character ("1.3b", "1.3 (45)") gives none.
std::optional<std::vector<std::int64_t>> parseVersion(std::string_view text);

// True when `remote` is a later version than `local`, position by position with missing
// positions as 0 ("1.10" > "1.9"; "1.2" == "1.2.0"). False when either does not parse.
bool isNewerVersion(std::string_view remote, std::string_view local);

}  // namespace joywright
