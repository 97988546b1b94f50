// SHA-256 on a worker thread, fed pieces through a short queue (all OSes).
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "update/sha256.h"

namespace kelv {

namespace {
constexpr std::size_t kMaxWaiting = 3;  // pieces queued for the worker at most
}  // namespace

struct Sha256InBackground::Worker {
  Sha256 hash;
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::string> waiting;  // pieces not hashed yet, oldest first
  std::vector<std::string> spare;   // buffers hashed, kept for the next pieces
  bool closing = false;
  std::exception_ptr failure;
  std::thread thread;

  void Run() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
      changed.wait(lock, [this] { return closing || !waiting.empty(); });
      if (waiting.empty()) return;
      std::string piece = std::move(waiting.front());
      waiting.pop_front();
      lock.unlock();
      std::exception_ptr error;
      try {
        hash.Update(piece.data(), piece.size());
      } catch (...) {
        error = std::current_exception();
      }
      lock.lock();
      if (error && !failure) failure = error;
      spare.push_back(std::move(piece));
      changed.notify_all();
    }
  }

  // Lets the worker hash what is waiting and end.
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
  std::unique_lock<std::mutex> lock(w.mutex);
  w.changed.wait(lock, [&w] { return w.waiting.size() < kMaxWaiting || w.failure; });
  if (w.failure) std::rethrow_exception(w.failure);
  std::string piece;
  if (!w.spare.empty()) {
    piece = std::move(w.spare.back());
    w.spare.pop_back();
  }
  lock.unlock();
  piece.assign(static_cast<const char*>(data), size);  // copied while the worker hashes
  lock.lock();
  w.waiting.push_back(std::move(piece));
  lock.unlock();
  w.changed.notify_all();
}

Sha256Digest Sha256InBackground::Finish() {
  worker_->Close();
  if (worker_->failure) std::rethrow_exception(worker_->failure);
  return worker_->hash.Finish();
}

}  // namespace kelv
