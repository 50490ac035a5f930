#include "platform/Pump.h"

#include <QCoreApplication>
#include <QThread>
#include <chrono>

namespace cavel {

std::uint32_t MonotonicTick() {
  auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void EventPump::DelayTime(int milliseconds) {
  const std::uint32_t start = tick_();
  // Computed wide, so that start + milliseconds cannot overflow the tick.
  const std::uint64_t end = static_cast<std::uint64_t>(start) +
                            static_cast<std::uint64_t>(milliseconds < 0 ? 0 : milliseconds);
  rounds_ = 0;
  for (;;) {
    // Painting, timers and the window system are served; the user's keys
    // and clicks wait until the pause is over, so that no command can start
    // in the middle of the one that paused (a load half done).
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    ++rounds_;
    const std::uint32_t now = tick_();
    if (now > end || now < start) break;
    // Everything pending is served: give the processor away for a moment
    // instead of spinning.
    QThread::msleep(1);
  }
}

void NoDelayPump::DelayTime(int milliseconds) {
  ++calls_;
  last_ = milliseconds;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace cavel
