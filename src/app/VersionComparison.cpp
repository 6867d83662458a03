#include "app/VersionComparison.hpp"

#include <algorithm>
#include <limits>

namespace joywright {
namespace {

// A decimal integer: an optional sign, then one or more digits, fitting 64 bits.
std::optional<std::int64_t> parseInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    // Accumulate as a negative number, whose range is one larger.
    constexpr std::int64_t minimum = std::numeric_limits<std::int64_t>::min();
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const int digit = c - '0';
        if (value < (minimum + digit) / 10) return std::nullopt;
        value = value * 10 - digit;
    }
    if (negative) return value;
    if (value == minimum) return std::nullopt;
    return -value;
}

}  // namespace

std::optional<std::vector<std::int64_t>> parseVersion(std::string_view text) {
    std::vector<std::int64_t> parts;
    while (true) {
        const auto dot = text.find('.');
        const auto piece = parseInteger(text.substr(0, dot));
        if (!piece) return std::nullopt;
        parts.push_back(*piece);
        if (dot == std::string_view::npos) break;
        text.remove_prefix(dot + 1);
    }
    return parts;
}

bool isNewerVersion(std::string_view remote, std::string_view local) {
    const auto r = parseVersion(remote);
    const auto l = parseVersion(local);
    if (!r || !l) return false;
    const std::size_t n = std::max(r->size(), l->size());
    for (std::size_t i = 0; i < n; ++i) {
        const std::int64_t a = i < r->size() ? (*r)[i] : 0;
        const std::int64_t b = i < l->size() ? (*l)[i] : 0;
        if (a != b) return a > b;
    }
    return false;
}

}  // namespace joywright
