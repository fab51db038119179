#include "swfplayer/avm1/Heap.h"

#include <algorithm>

namespace swfplayer::avm1 {

namespace {
// A collection is next wanted once the heap has grown by what survived the last one (the heap
// may double between collections), and never before this much: small heaps collect rarely.
constexpr size_t kMinCollectionStep = size_t{8} << 20;
}  // namespace

Heap::~Heap() {
  Cell* cell = first_;
  while (cell != nullptr) {
    Cell* next = cell->next_;
    delete cell;
    cell = next;
  }
}

void Heap::Reserve(size_t bytes) {
  if (bytes > maxBytes_ || bytes_ > maxBytes_ - bytes) {
    throw ScriptAbort{"the script heap is full (" + std::to_string(maxBytes_ >> 20) + " MiB)"};
  }
}

void Heap::Link(Cell* cell, size_t bytes) {
  cell->next_ = first_;
  cell->bytes_ = bytes;
  first_ = cell;
  bytes_ += bytes;
  ++cells_;
}

void Heap::Resize(Cell* cell, ptrdiff_t delta) {
  if (delta > 0) Reserve(static_cast<size_t>(delta));
  cell->bytes_ += delta;
  bytes_ += delta;
}

void Heap::Drain(Tracer& tracer) {
  while (!tracer.pending_.empty()) {
    Cell* cell = tracer.pending_.back();
    tracer.pending_.pop_back();
    cell->Trace(tracer);
  }
}

void Heap::Sweep() {
  Cell** link = &first_;
  while (Cell* cell = *link) {
    if (cell->marked_) {
      cell->marked_ = false;
      link = &cell->next_;
      continue;
    }
    *link = cell->next_;
    bytes_ -= cell->bytes_;
    --cells_;
    delete cell;
  }
  nextCollection_ = bytes_ + std::max(bytes_, kMinCollectionStep);
}

}  // namespace swfplayer::avm1
