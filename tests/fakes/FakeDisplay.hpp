#pragma once

#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "engine/Display.hpp"

namespace joywright {

// A display for tests: a settable cursor, settable screens and timing, and a display link the
// test ticks by hand with any deltaTime. Allocation-free per tick once a link is running.
//
//   FakeDisplay display;
//   display.screenList = {{.frame = {0, 0, 1920, 1080}}};
//   display.cursor = Point{100, 100};
//   runner.start();
//   display.tick(1.0 / 60);   // calls the runner's tick(1/60) while its link runs
class FakeDisplay final : public Display {
public:
    // What cursorPosition() returns; none means the cursor cannot be read.
    std::optional<Point> cursor = Point{0, 0};
    // Screens in platform order; the first is the main screen.
    std::vector<Screen> screenList{Screen{.frame = {0, 0, 1920, 1080}, .refreshRate = 60}};
    SystemTiming timing;
    // When false, makeDisplayLink gives null (no link obtainable).
    bool canMakeDisplayLink = true;
    // When true, setCursor rounds to whole points, like a system whose cursor has whole-point
    // resolution (X11).
    bool wholePointCursor = false;

    std::optional<Point> cursorPosition() override {
        ++cursorReads;
        return cursor;
    }
    std::vector<Screen> screens() override { return screenList; }
    SystemTiming systemTiming() override { return timing; }

    std::unique_ptr<DisplayLink> makeDisplayLink(const Screen& screen) override {
        if (!canMakeDisplayLink) return nullptr;
        ++linksMade;
        linkScreen = screen;
        link_ = std::make_shared<LinkState>();
        return std::make_unique<Link>(link_);
    }

    // Delivers one refresh of `deltaTime` seconds to the current link, if it is running.
    // Returns whether a tick was delivered.
    bool tick(double deltaTime) {
        if (!link_ || !link_->running || !link_->onTick) return false;
        link_->onTick(deltaTime);
        return true;
    }
    // `count` refreshes of `deltaTime` each.
    void tick(double deltaTime, int count) {
        for (int i = 0; i < count; ++i)
            tick(deltaTime);
    }

    // Whether the most recently made link exists, was started and is not stopped or destroyed.
    bool linkRunning() const { return link_ && link_->running; }

    void setCursor(Point p) {
        cursor = wholePointCursor ? Point{std::round(p.x), std::round(p.y)} : p;
    }
    // Moves the cursor by a relative motion (no clamping).
    void moveCursorBy(double dx, double dy) {
        if (cursor) setCursor(Point{cursor->x + dx, cursor->y + dy});
    }

    int cursorReads = 0;
    int linksMade = 0;
    std::optional<Screen> linkScreen;  // the screen of the last link made

private:
    struct LinkState {
        std::function<void(double)> onTick;
        bool running = false;
    };

    class Link final : public DisplayLink {
    public:
        explicit Link(std::shared_ptr<LinkState> state) : state_(std::move(state)) {}
        ~Link() override { state_->running = false; }
        void start(std::function<void(double deltaTime)> onTick) override {
            state_->onTick = std::move(onTick);
            state_->running = true;
        }
        void stop() override { state_->running = false; }

    private:
        std::shared_ptr<LinkState> state_;
    };

    std::shared_ptr<LinkState> link_;
};

}  // namespace joywright
