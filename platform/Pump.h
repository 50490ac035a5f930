// The message-serving pause (DelayTime) that the list and grid fills take
// right after they have put up a status caption, so that it can paint.
//
// It is a port: the program uses EventPump; tests and benchmarks use
// NoDelayPump, which serves the pending messages once and returns at once.
#pragma once

#include <cstdint>
#include <functional>

namespace cavel {

class Pump {
 public:
  virtual ~Pump() = default;
  // Serves pending window messages, at least once, for `milliseconds`.
  virtual void DelayTime(int milliseconds) = 0;
};

// A 32-bit millisecond tick that wraps, like the desktop's tick counter.
using TickSource = std::function<std::uint32_t()>;
// Milliseconds of the monotonic clock, cut to 32 bits.
std::uint32_t MonotonicTick();

class EventPump : public Pump {
 public:
  explicit EventPump(TickSource tick = MonotonicTick) : tick_(std::move(tick)) {}
  // Reads the tick once as the start, then serves all pending messages until
  // the tick is past start + milliseconds or below start (it wrapped).
  // Keys and clicks are held back until the pause is over: they are
  // delivered afterwards, not lost.
  void DelayTime(int milliseconds) override;
  // How many times the last DelayTime served the message queue.
  int rounds() const { return rounds_; }

 private:
  TickSource tick_;
  int rounds_ = 0;
};

// Serves pending messages once and does not wait; counts the pauses asked for.
class NoDelayPump : public Pump {
 public:
  void DelayTime(int milliseconds) override;
  int calls() const { return calls_; }
  int lastMilliseconds() const { return last_; }

 private:
  int calls_ = 0;
  int last_ = 0;
};

}  // namespace cavel
