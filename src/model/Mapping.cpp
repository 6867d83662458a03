#include "model/Mapping.hpp"

#include <sys/random.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <set>

#include "support/Log.hpp"

namespace joywright {

namespace {

constexpr std::string_view kUntitledName = "Untitled mapping";

// Fills `bytes` from getrandom(2); false when the kernel cannot give them.
bool secureRandom(std::span<std::uint8_t> bytes) {
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const auto n = getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        filled += static_cast<std::size_t>(n);
    }
    return true;
}

std::uint64_t splitMix64(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// Stand-in when getrandom fails (a sandbox that forbids it): not secret, but a process-wide
// counter keeps ids distinct within the process and the seed differs between processes.
void fallbackRandom(std::span<std::uint8_t> bytes) {
    static std::atomic<std::uint64_t> counter{0};
    const auto seed =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (static_cast<std::uint64_t>(getpid()) << 40) ^ reinterpret_cast<std::uintptr_t>(&counter);
    std::uint64_t state = splitMix64(seed) + counter.fetch_add(1) * 0xD1B54A32D192ED03ULL;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i % 8 == 0) state = splitMix64(state);
        bytes[i] = static_cast<std::uint8_t>(state >> (8 * (i % 8)));
    }
}

// Unix milliseconds, never before 1970 and never behind an id already handed out.
std::uint64_t idMilliseconds() {
    static std::atomic<std::uint64_t> last{0};
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    auto ms = static_cast<std::uint64_t>(std::max<std::int64_t>(now, 0));
    auto previous = last.load();
    while (true) {
        ms = std::max(ms, previous);
        if (last.compare_exchange_weak(previous, ms)) return ms;
    }
}

// N of "Untitled mapping N" (one or more ASCII digits), when it fits in 64 bits.
std::optional<std::int64_t> untitledNumber(std::string_view name) {
    if (!name.starts_with(kUntitledName)) return std::nullopt;
    name.remove_prefix(kUntitledName.size());
    if (!name.starts_with(' ')) return std::nullopt;
    name.remove_prefix(1);
    if (name.empty()) return std::nullopt;
    std::int64_t value = 0;
    const auto* end = name.data() + name.size();
    const auto result = std::from_chars(name.data(), end, value);
    if (result.ec != std::errc{} || result.ptr != end || name.front() == '-') return std::nullopt;
    return value;
}

}  // namespace

std::optional<Output> Mapping::output(InputName input) const {
    for (const auto& entry : inputs)
        if (entry.id == input) return entry.output;
    return std::nullopt;
}

Output Mapping::outputOrNoop(InputName input) const {
    return output(input).value_or(Output::noop());
}

std::vector<Input> normalizedInputs(std::span<const Input> inputs) {
    std::array<std::optional<Output>, kInputNameCount> table;
    for (const auto& input : inputs) {
        const auto index = static_cast<std::size_t>(input.id);
        if (index < table.size()) table[index] = input.output;
    }
    std::vector<Input> result;
    result.reserve(kInputNameCount);
    for (const auto name : allInputNames())
        result.push_back({name, table[static_cast<std::size_t>(name)].value_or(Output::noop())});
    return result;
}

Uuid version7Uuid(std::uint64_t unixMilliseconds, const std::array<std::uint8_t, 10>& random) {
    Uuid::Bytes bytes{};
    for (int i = 0; i < 6; ++i)
        bytes[static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(unixMilliseconds >> (8 * (5 - i)));
    bytes[6] = static_cast<std::uint8_t>(0x70 | (random[0] & 0x0F));
    bytes[7] = random[1];
    bytes[8] = static_cast<std::uint8_t>(0x80 | (random[2] & 0x3F));
    std::copy(random.begin() + 3, random.end(), bytes.begin() + 9);
    return Uuid(bytes);
}

Uuid newMappingID() {
    std::array<std::uint8_t, 10> random{};
    if (!secureRandom(random)) {
        static std::atomic<bool> logged{false};
        const int error = errno;
        if (!logged.exchange(true))
            JW_LOG_ERROR(general, "getrandom failed (%s); mapping identifiers use a weaker source",
                         std::strerror(error));
        fallbackRandom(random);
    }
    return version7Uuid(idMilliseconds(), random);
}

std::string nextUntitledName(std::span<const Mapping> existing) {
    const bool taken = std::any_of(existing.begin(), existing.end(),
                                   [](const Mapping& m) { return m.name == kUntitledName; });
    if (!taken) return std::string(kUntitledName);
    std::set<std::int64_t> used;
    for (const auto& m : existing)
        if (const auto n = untitledNumber(m.name)) used.insert(*n);
    std::int64_t candidate = 2;
    while (used.contains(candidate))
        ++candidate;
    return std::string(kUntitledName) + " " + std::to_string(candidate);
}

Mapping newBlankMapping(std::span<const Mapping> existing) {
    Mapping mapping;
    mapping.id = newMappingID();
    mapping.name = nextUntitledName(existing);
    mapping.inputs = normalizedInputs({});
    return mapping;
}

}  // namespace joywright
