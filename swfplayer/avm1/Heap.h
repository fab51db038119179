// The script heap: every string, object, scope and function a script makes is a Cell here, and
// a mark-and-sweep collection frees what the roots no longer reach (prototype chains are full
// of cycles: a reference count would leak them). The heap counts the bytes it holds, its own
// and those its cells hold outside themselves (property tables, array elements, string
// buffers), so the bound on the whole heap is exact enough to stop a script that allocates
// without end; going past it abandons the running block (ScriptAbort), never the process.
//
// Collection runs only at safe points chosen by the interpreter (README.md, "Memory"): the
// heap never collects by itself, it only says when enough was allocated to make one worth it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "swfplayer/avm1/Value.h"

namespace swfplayer::avm1 {

class Tracer;

class Cell {
 public:
  Cell() = default;
  Cell(const Cell&) = delete;
  Cell& operator=(const Cell&) = delete;
  virtual ~Cell() = default;

  // Marks every cell this one refers to.
  virtual void Trace(Tracer&) {}

 private:
  friend class Heap;
  friend class Tracer;
  Cell* next_ = nullptr;
  size_t bytes_ = 0;  // what the heap counts for this cell, outside storage included
  bool marked_ = false;
};

// Marks what the roots reach; iterative, so a long chain of cells cannot overflow the C++ stack.
class Tracer {
 public:
  void Mark(Cell* cell) {
    if (cell != nullptr && !cell->marked_) {
      cell->marked_ = true;
      pending_.push_back(cell);
    }
  }
  void Mark(const Value& value) { Mark(value.HeapCell()); }

 private:
  friend class Heap;
  std::vector<Cell*> pending_;
};

// A bound was reached or the script must stop: the whole running block is abandoned (the
// script cannot catch it). reason says which, for the trace of why.
struct ScriptAbort {
  std::string reason;
};

class Heap {
 public:
  explicit Heap(size_t maxBytes) : maxBytes_(maxBytes) {}
  ~Heap();
  Heap(const Heap&) = delete;
  Heap& operator=(const Heap&) = delete;

  // A new cell of type T; extraBytes is storage it holds outside itself from the start.
  template <class T, class... Args>
  T* New(Args&&... args) {
    Reserve(sizeof(T));
    T* cell = new T(std::forward<Args>(args)...);
    Link(cell, sizeof(T));
    return cell;
  }
  // For cells whose size is known only at run time (strings with their characters inline):
  // raw storage of size bytes, counted, then Adopt the cell constructed in it.
  void* AllocateRaw(size_t size) {
    Reserve(size);
    return ::operator new(size);
  }
  void Adopt(Cell* cell, size_t size) { Link(cell, size); }

  // A cell's outside storage grew (positive) or shrank (negative) by delta bytes. Growth past
  // the heap's bound throws ScriptAbort; the growth is counted first, so nothing is lost.
  void Resize(Cell* cell, ptrdiff_t delta);
  // Throws ScriptAbort when bytes more would pass the bound.
  void Reserve(size_t bytes);
  // Storage shared by several cells (a string buffer): counted by the heap, owned by no cell.
  void ChargeShared(size_t bytes) {
    Reserve(bytes);
    bytes_ += bytes;
  }
  void ReleaseShared(size_t bytes) { bytes_ -= bytes; }

  size_t Bytes() const { return bytes_; }
  size_t MaxBytes() const { return maxBytes_; }
  size_t CellCount() const { return cells_; }
  // Whether enough was allocated since the last collection to make one worth it.
  bool WantsCollection() const { return bytes_ >= nextCollection_; }

  // Marks from the roots (markRoots marks them through the tracer) and frees the rest.
  template <class MarkRoots>
  void Collect(MarkRoots&& markRoots) {
    Tracer tracer;
    markRoots(tracer);
    Drain(tracer);
    Sweep();
  }

  // Tests: a collection is wanted from now on whatever was allocated.
  void SetCollectionThreshold(size_t bytes) { nextCollection_ = bytes; }

 private:
  void Link(Cell* cell, size_t bytes);
  void Drain(Tracer& tracer);
  void Sweep();

  Cell* first_ = nullptr;
  size_t bytes_ = 0;
  size_t cells_ = 0;
  size_t maxBytes_;
  size_t nextCollection_ = size_t{8} << 20;
};

}  // namespace swfplayer::avm1
