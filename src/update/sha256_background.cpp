// SHA-256 on a worker thread that hashes one piece at a time while its caller uses the same
// piece (all OSes).
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

#include "update/sha256.h"

namespace kelv {

struct Sha256InBackground::Worker {
  Sha256 hash;
  std::mutex mutex;
  std::condition_variable changed;
  const void* piece = nullptr;  // the piece to hash, while busy
  std::size_t size = 0;
  bool busy = false;
  bool closing = false;
  std::exception_ptr failure;
  std::thread thread;

  void Run() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
      changed.wait(lock, [this] { return busy || closing; });
      if (!busy) return;
      lock.unlock();
      std::exception_ptr error;
      try {
        hash.Update(piece, size);
      } catch (...) {
        error = std::current_exception();
      }
      lock.lock();
      if (error && !failure) failure = error;
      busy = false;
      changed.notify_all();
    }
  }

  void WaitIdle() noexcept {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return !busy; });
  }

  void Close() {
    {
      std::lock_guard<std::mutex> lock(mutex);
      closing = true;
    }
    changed.notify_all();
    if (thread.joinable()) thread.join();
  }
};

Sha256InBackground::Sha256InBackground() : worker_(std::make_unique<Worker>()) {
  try {
    worker_->thread = std::thread([w = worker_.get()] { w->Run(); });
  } catch (const std::system_error&) {
    // No thread: Update hashes each piece itself.
  }
}

Sha256InBackground::~Sha256InBackground() { worker_->Close(); }

void Sha256InBackground::Update(const void* data, std::size_t size) {
  Worker& w = *worker_;
  if (!w.thread.joinable()) {
    w.hash.Update(data, size);
    return;
  }
  w.WaitIdle();
  {
    std::lock_guard<std::mutex> lock(w.mutex);
    w.piece = data;
    w.size = size;
    w.busy = true;
  }
  w.changed.notify_all();
}

void Sha256InBackground::Wait() noexcept { worker_->WaitIdle(); }

Sha256Digest Sha256InBackground::Finish() {
  worker_->Close();
  if (worker_->failure) std::rethrow_exception(worker_->failure);
  return worker_->hash.Finish();
}

}  // namespace kelv
