#pragma once

#include <memory>

#include "app/TrustQuery.hpp"
#include "platform/x11/X11Connection.hpp"

namespace joywright {

// The process may post synthetic input when its X server has XTest; with no display it may not.
class X11TrustQuery final : public TrustQuery {
public:
    explicit X11TrustQuery(std::shared_ptr<X11Connection> connection)
        : connection_(std::move(connection)) {}

    bool isProcessTrusted() override { return connection_ != nullptr && connection_->hasXTest(); }

private:
    std::shared_ptr<X11Connection> connection_;
};

}  // namespace joywright
