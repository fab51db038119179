#include "swfplayer/render/WorkerPool.h"

#include <algorithm>

namespace swfplayer::render {

int WorkerPool::DefaultThreads() {
  const unsigned cores = std::thread::hardware_concurrency();  // 0 when unknown
  return std::clamp(static_cast<int>(cores), 1, kMaxThreads);
}

WorkerPool::WorkerPool(int threads) {
  threads = std::clamp(threads, 1, kMaxThreads);
  for (int i = 1; i < threads; ++i) workers_.emplace_back([this, i] { WorkerLoop(i); });
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void WorkerPool::Run(int count, const std::function<void(int, int)>& task) {
  if (count <= 0) return;
  if (workers_.empty() || count == 1) {
    for (int i = 0; i < count; ++i) task(i, 0);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    task_ = &task;
    count_ = count;
    next_ = 0;
    busy_ = static_cast<int>(workers_.size());
    ++round_;
  }
  wake_.notify_all();
  Drain(0);
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [this] { return busy_ == 0; });
  task_ = nullptr;
}

// Takes indices until none are left. The lock is held only to hand one out: a task is a band
// of a frame, thousands of times longer than that.
void WorkerPool::Drain(int thread) {
  for (;;) {
    int index;
    const std::function<void(int, int)>* task;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (next_ >= count_) return;
      index = next_++;
      task = task_;
    }
    (*task)(index, thread);
  }
}

void WorkerPool::WorkerLoop(int thread) {
  uint64_t seen = 0;
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [&] { return stopping_ || round_ != seen; });
      if (stopping_) return;
      seen = round_;
    }
    Drain(thread);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (--busy_ == 0) done_.notify_one();
    }
  }
}

}  // namespace swfplayer::render
