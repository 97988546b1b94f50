// A watch on blocking calls that may wait on a peer for ever (all OSes).
#include "ftp/stall_watch.h"

namespace kelv {

StallWatch::StallWatch(std::function<void()> onStall)
    : onStall_(std::move(onStall)), thread_([this] { Run(); }) {}

StallWatch::~StallWatch() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void StallWatch::SetLimit(std::chrono::milliseconds limit) {
  std::lock_guard<std::mutex> lock(mutex_);
  limit_ = limit;
}

void StallWatch::Start() {
  bool wake = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    watching_ = true;
    stalled_ = false;
    deadline_ = Clock::now() + limit_;
    // A thread already timing an earlier call wakes at that call's deadline and takes the
    // new one then; it needs waking only when idle or when the new deadline comes first
    // (calls come one after another in transfers, so this saves a wake per call).
    wake = idle_ || deadline_ < sleepingUntil_;
  }
  if (wake) wake_.notify_one();
}

void StallWatch::Progress() {
  // The watch's thread wakes at the old deadline and then waits for the new one.
  std::lock_guard<std::mutex> lock(mutex_);
  deadline_ = Clock::now() + limit_;
}

bool StallWatch::Stop() {
  std::lock_guard<std::mutex> lock(mutex_);
  watching_ = false;
  return stalled_;
}

void StallWatch::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!quit_) {
    if (!watching_) {
      idle_ = true;
      wake_.wait(lock);
      idle_ = false;
      continue;
    }
    if (Clock::now() < deadline_) {
      sleepingUntil_ = deadline_;
      wake_.wait_until(lock, sleepingUntil_);
      continue;
    }
    watching_ = false;
    stalled_ = true;
    onStall_();
  }
}

}  // namespace kelv
