// SHA-256 on a worker thread that hashes a copy of each piece while its caller goes on with
// the next one (all OSes).
#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "update/sha256.h"

namespace kelv {

struct Sha256InBackground::Worker {
  Sha256 hash;
  std::mutex mutex;
  std::condition_variable changed;
  // Two buffers: the worker hashes one while the caller fills the other.
  std::string buffers[2];
  int next = 0;         // the buffer the caller fills next
  const std::string* piece = nullptr;  // the piece to hash, while busy
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
        hash.Update(piece->data(), piece->size());
      } catch (...) {
        error = std::current_exception();
      }
      lock.lock();
      if (error && !failure) failure = error;
      busy = false;
      changed.notify_all();
    }
  }

  void WaitIdle() {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return !busy; });
  }

  void Close() noexcept {
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
  // The buffer filled now is not the one the worker may still be hashing.
  std::string& buffer = w.buffers[w.next];
  buffer.assign(static_cast<const char*>(data), size);
  w.next ^= 1;
  w.WaitIdle();
  {
    std::lock_guard<std::mutex> lock(w.mutex);
    w.piece = &buffer;
    w.busy = true;
  }
  w.changed.notify_all();
}

Sha256Digest Sha256InBackground::Finish() {
  worker_->Close();
  if (worker_->failure) std::rethrow_exception(worker_->failure);
  return worker_->hash.Finish();
}

}  // namespace kelv
