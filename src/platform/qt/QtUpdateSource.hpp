#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "app/UpdateSource.hpp"

class QObject;

namespace joywright {

// Where the release lookup goes: GET <host>/lookup?id=<store id>&country=us.
struct UpdateLookup {
    std::string host;     // "https://releases.example.org"; a trailing "/" is ignored
    std::string storeId;  // the application's numeric store identifier
    // Both the idle timeout and the limit on the whole transfer.
    std::chrono::milliseconds timeout{15000};

    // The build settings JOYWRIGHT_LOOKUP_HOST and JOYWRIGHT_STORE_ID.
    static UpdateLookup fromBuildSettings();
    // False when the host or the store id is empty: the build does not look for releases.
    bool isConfigured() const { return !host.empty() && !storeId.empty(); }
};

// The release lookup over HTTP(S) with Qt Network. Each lookup uses a fresh network session, so
// no cache, cookie or credential outlives it. Failures are logged at info level, once each:
// "Update check failed: <reason>" for a transport error or a body that does not decode, "Update
// check: non-200 response" for any other status, "Update check: no release found" for an empty
// result list. Needs a running Qt event loop; the completion
// runs on the main thread. Destroying the source abandons lookups in flight without calling their
// completions. Main thread only.
class QtUpdateSource final : public UpdateSource {
public:
    explicit QtUpdateSource(UpdateLookup lookup = UpdateLookup::fromBuildSettings());
    ~QtUpdateSource() override;
    QtUpdateSource(const QtUpdateSource&) = delete;
    QtUpdateSource& operator=(const QtUpdateSource&) = delete;

    void latestRelease(Completion completion) override;

    // The address looked up.
    std::string lookupUrl() const;

private:
    UpdateLookup lookup_;
    // Parent of every lookup in flight.
    std::unique_ptr<QObject> requests_;
    // Cleared when the source goes, so a lookup ending later calls nobody.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace joywright
