#pragma once

namespace joywright {

// Whether this process may post synthetic input (on X11: the XTest extension is available on the
// display). Asked without prompting the user. Main thread.
class TrustQuery {
public:
    virtual ~TrustQuery() = default;
    virtual bool isProcessTrusted() = 0;
};

}  // namespace joywright
