#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace joywright {

// Wall-clock time, used for update dismissals.
using WallClock = std::chrono::system_clock;

// Unix time of 2001-01-01 00:00:00 UTC, the reference date of stored dates.
inline constexpr double kReferenceDateUnixSeconds = 978307200.0;

// Seconds since 2001-01-01 00:00:00 UTC, fractions kept (negative before it).
double secondsSinceReferenceDate(WallClock::time_point time);

// How long a dismissed release stays hidden, seconds (7 days).
inline constexpr double kUpdateDismissalPeriod = 604800.0;

// The release the user dismissed, and when.
struct UpdateDismissal {
    std::string version;     // exactly as announced
    double dismissedAt = 0;  // seconds since 2001-01-01 00:00:00 UTC

    friend bool operator==(const UpdateDismissal&, const UpdateDismissal&) = default;
};

// Compact JSON: {"version":"1.5","dismissedAt":786000000.25}.
std::string encodeUpdateDismissal(const UpdateDismissal& dismissal);
// The inverse; both members required ("version" a text, "dismissedAt" a finite number); extra
// members ignored.
std::optional<UpdateDismissal> decodeUpdateDismissal(std::string_view json);

// True while `dismissal` hides a release of `version` at `now` (seconds since the reference
// date): the same version text, dismissed less than 7 days before.
bool hidesRelease(const UpdateDismissal& dismissal, std::string_view version, double now);

}  // namespace joywright
