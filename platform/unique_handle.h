// Owner of one kernel object of the seam; closes it through Kernel() when
// reset or destroyed. The owner's thread alone touches it.
#pragma once

#include <utility>

#include "platform/kernel.h"

namespace platform {

class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ~UniqueHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  void reset(Handle handle = nullptr) {
    Handle old = std::exchange(handle_, handle);
    if (old) Kernel().Close(old);
  }
  Handle release() { return std::exchange(handle_, nullptr); }

 private:
  Handle handle_ = nullptr;
};

}  // namespace platform
