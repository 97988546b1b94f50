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
  {
    std::lock_guard<std::mutex> lock(mutex_);
    watching_ = true;
    stalled_ = false;
    deadline_ = Clock::now() + limit_;
  }
  wake_.notify_one();
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
      wake_.wait(lock);
      continue;
    }
    if (Clock::now() < deadline_) {
      wake_.wait_until(lock, deadline_);
      continue;
    }
    watching_ = false;
    stalled_ = true;
    onStall_();
  }
}

}  // namespace kelv
