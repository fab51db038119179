// A few threads that draw the bands of a frame together with the thread that asks. They sleep
// on a condition variable between frames: nothing spins while no frame is being drawn.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace swfplayer::render {

class WorkerPool {
 public:
  // Threads that pay off on this machine: one per core, at most kMaxThreads, at least one.
  static constexpr int kMaxThreads = 8;
  static int DefaultThreads();

  // threads counts the caller: threads - 1 workers are started (none for 1).
  explicit WorkerPool(int threads);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  int Threads() const { return static_cast<int>(workers_.size()) + 1; }

  // Calls task(index, thread) for every index in [0, count), spread over the threads (thread
  // 0 is the caller, which takes part), and returns when all are done. A thread runs its
  // tasks one after the other, so state kept per thread needs no lock.
  void Run(int count, const std::function<void(int index, int thread)>& task);

 private:
  void WorkerLoop(int thread);
  void Drain(int thread);

  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  const std::function<void(int, int)>* task_ = nullptr;
  int count_ = 0;
  int next_ = 0;           // the next index to hand out
  int busy_ = 0;           // workers still on this round
  uint64_t round_ = 0;     // bumped for every Run: a worker takes part once per round
  bool stopping_ = false;
};

}  // namespace swfplayer::render
