#pragma once

#include "engine/Frame.hpp"
#include "engine/Geometry.hpp"
#include "engine/ResponseCurve.hpp"

namespace joywright {

// What the application model uses of the output engine. Main thread only, but for frame().append.
class RunnerControlling {
public:
    virtual ~RunnerControlling() = default;

    virtual Frame& frame() = 0;

    virtual bool useRelativeMouse() const = 0;
    virtual void setUseRelativeMouse(bool on) = 0;
    virtual ResponseCurve responseCurve() const = 0;
    virtual void setResponseCurve(const ResponseCurve& curve) = 0;
    virtual Vector relativeMouseAccumulator() const = 0;
    virtual void setRelativeMouseAccumulator(Vector v) = 0;

    virtual bool isRunning() const = 0;
    // Starts ticking and listening; no effect when running; stays stopped when there is no screen.
    virtual void start() = 0;
    // Stops listening and ticking, then reset(); no effect when stopped.
    virtual void stop() = 0;
    // Releases every held key, modifier and button and empties all engine state but the clock.
    virtual void reset() = 0;
};

}  // namespace joywright
