#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "support/Expected.hpp"

namespace joywright {

// A published release of the application.
struct AppStoreRelease {
    std::string version;       // "1.4.2"
    std::string trackViewUrl;  // the release's store page

    friend bool operator==(const AppStoreRelease&, const AppStoreRelease&) = default;
};

// Where the newest release is looked up.
class UpdateSource {
public:
    using Completion = std::function<void(std::optional<AppStoreRelease>)>;

    virtual ~UpdateSource() = default;

    // Looks up the newest release and calls `completion` exactly once, on the main thread, with
    // the first result or none. Every failure is logged once (info level) and gives none.
    virtual void latestRelease(Completion completion) = 0;
};

// The lookup service's response body: {"resultCount": n, "results": [{"version": ...,
// "trackViewUrl": ...}, ...]}; other members are ignored. Gives the first result, none when
// `results` is empty, or the reason the body does not decode.
Expected<std::optional<AppStoreRelease>, std::string> decodeLookupResponse(std::string_view body);

}  // namespace joywright
