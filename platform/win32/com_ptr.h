// Owners for what COM hands out: an interface pointer (Release), a task-memory
// block (CoTaskMemFree) and a PROPVARIANT (PropVariantClear). Each belongs to
// one thread, the one that obtained it.
#pragma once

#include <objbase.h>
#include <propidl.h>

#include <utility>

namespace platform {

template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : pointer_(other.release()) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ~ComPtr() { reset(); }

  Interface* get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  // Releases what was held before handing out the slot to fill.
  Interface** put() {
    reset();
    return &pointer_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }

  void reset(Interface* pointer = nullptr) {
    Interface* old = std::exchange(pointer_, pointer);
    if (old) old->Release();
  }
  Interface* release() { return std::exchange(pointer_, nullptr); }

 private:
  Interface* pointer_ = nullptr;
};

template <typename T>
class CoTaskMemPtr {
 public:
  CoTaskMemPtr() = default;
  explicit CoTaskMemPtr(T* block) : block_(block) {}
  CoTaskMemPtr(const CoTaskMemPtr&) = delete;
  CoTaskMemPtr& operator=(const CoTaskMemPtr&) = delete;
  ~CoTaskMemPtr() { reset(); }

  T* get() const { return block_; }
  T** put() {
    reset();
    return &block_;
  }
  void reset(T* block = nullptr) {
    T* old = std::exchange(block_, block);
    if (old) ::CoTaskMemFree(old);
  }

 private:
  T* block_ = nullptr;
};

class PropVariant {
 public:
  PropVariant() { ::PropVariantInit(&value_); }
  PropVariant(const PropVariant&) = delete;
  PropVariant& operator=(const PropVariant&) = delete;
  ~PropVariant() { ::PropVariantClear(&value_); }

  PROPVARIANT* get() { return &value_; }
  const PROPVARIANT& value() const { return value_; }

 private:
  PROPVARIANT value_;
};

}  // namespace platform
