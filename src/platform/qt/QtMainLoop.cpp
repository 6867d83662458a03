#include "platform/qt/QtMainLoop.hpp"

#include <QMetaObject>
#include <QObject>
#include <QTimer>

namespace joywright {

QtMainLoop::QtMainLoop()
    : context_(std::make_unique<QObject>()), mainThread_(std::this_thread::get_id()) {}

QtMainLoop::~QtMainLoop() = default;

void QtMainLoop::post(std::function<void()> task) {
    QMetaObject::invokeMethod(context_.get(), std::move(task), Qt::QueuedConnection);
}

TaskHandle QtMainLoop::schedule(Duration delay, std::function<void()> task) {
    auto state = std::make_shared<TaskHandle::State>();
    const auto milliseconds =
        std::max(std::chrono::ceil<std::chrono::milliseconds>(delay), std::chrono::milliseconds(0));
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, context_.get(),
                       [state, task = std::move(task)] {
                           if (!state->cancelled.load()) task();
                       });
    return TaskHandle(std::move(state));
}

}  // namespace joywright
