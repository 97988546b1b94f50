// A watch on blocking calls that may wait on a peer for ever: when a watched call makes no
// progress for the limit, a function given at construction runs on the watch's own thread,
// where it can break the wait (all OSes; the WinINet back-end uses it, because Wine's
// WinINet reads and writes without any time limit).
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace kelv {

class StallWatch {
 public:
  // onStall runs on the watch's thread, at most once per Start(); Progress() and Stop()
  // wait while it runs, so it may touch what the watched call uses.
  explicit StallWatch(std::function<void()> onStall);
  // Stops the watch's thread.
  ~StallWatch();
  StallWatch(const StallWatch&) = delete;
  StallWatch& operator=(const StallWatch&) = delete;

  // The longest a watched call may go without progress (60 s until set).
  void SetLimit(std::chrono::milliseconds limit);

  // Starts watching a call: the limit counts from now.
  void Start();
  // The call made progress: the limit counts from now again.
  void Progress();
  // Ends the watch; true when onStall ran since Start().
  bool Stop();

 private:
  using Clock = std::chrono::steady_clock;
  void Run();

  std::function<void()> onStall_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::chrono::milliseconds limit_{std::chrono::seconds(60)};
  Clock::time_point deadline_;
  Clock::time_point sleepingUntil_;  // when the thread, timing a call, wakes next
  bool watching_ = false;
  bool idle_ = false;  // the thread waits for a call to watch
  bool stalled_ = false;
  bool quit_ = false;
  std::thread thread_;
};

}  // namespace kelv
