// Holds one reference to a COM object (or to anything with AddRef/Release) and gives it back
// when it goes: the host never leaves a control or its site with a count that cannot reach 0.
#pragma once

#include <utility>

namespace swfsaver::win32 {

template <typename T>
class OleRef {
 public:
  OleRef() = default;
  // Takes over a reference the caller already holds (a creation or QueryInterface result).
  static OleRef Adopt(T* object) {
    OleRef ref;
    ref.object_ = object;
    return ref;
  }
  OleRef(const OleRef&) = delete;
  OleRef& operator=(const OleRef&) = delete;
  OleRef(OleRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  OleRef& operator=(OleRef&& other) noexcept {
    if (this != &other) {
      Reset();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }
  ~OleRef() { Reset(); }

  void Reset() {
    if (T* object = std::exchange(object_, nullptr)) object->Release();
  }
  // For the out parameter of a creation or QueryInterface call; drops what was held.
  T** Receive() {
    Reset();
    return &object_;
  }
  void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

  T* Get() const { return object_; }
  T* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  T* object_ = nullptr;
};

}  // namespace swfsaver::win32
