// The virtual-audio-device seam: open, start request, synchronous read and
// close on the device object of the virtual sound card. Handles are the
// seam's own; a failed open gives InvalidHandle(), as CreateFileW does. Any
// thread may call these operations; one handle is read by one thread at a time.
//
// On POSIX the Windows device namespace maps to a folder, as Wine's dosdevices
// does: "\\.\NAME" opens $ULVEX_DEVICE_DIR/name (lower case; the folder
// defaults to /tmp/ulvex-devices), usually a FIFO that a feeder writes into.
// Any other path is taken as a POSIX path. The start request has no POSIX
// counterpart and is refused there, as Wine refuses it on a FIFO.
#pragma once

#include <cstdint>
#include <utility>

#include "platform/kernel.h"

namespace platform {

constexpr char16_t kVirtualDevicePath[] = u"\\\\.\\ZNAudioSample0";
// CTL_CODE(FILE_DEVICE_SOUND, 0xD05, METHOD_BUFFERED, FILE_ANY_ACCESS).
constexpr std::uint32_t kDeviceStartRequest = 0x001D3414;

class AudioDeviceAccess {
 public:
  virtual ~AudioDeviceAccess() = default;

  // For reading and writing, share mode 0, the device must exist.
  virtual Handle Open(const char16_t* path) = 0;
  // A control request without input or output; true when the device took it.
  virtual bool Control(Handle device, std::uint32_t code) = 0;
  // Blocks until the device hands over bytes or fails; *bytesRead is set on
  // every path. A true result with 0 bytes means nothing was read.
  virtual bool Read(Handle device, void* buffer, std::uint32_t size, std::uint32_t* bytesRead) = 0;
  virtual bool Close(Handle device) = 0;
};

AudioDeviceAccess& AudioDevice();
AudioDeviceAccess& SystemAudioDevice();
// For tests; pass null to go back to the platform's own.
void SetAudioDeviceForTesting(AudioDeviceAccess* device);

inline bool IsOpenDevice(Handle device) { return device != nullptr && device != InvalidHandle(); }

// Owner of one device handle; both null and InvalidHandle() count as absent.
class UniqueDeviceHandle {
 public:
  UniqueDeviceHandle() = default;
  explicit UniqueDeviceHandle(Handle handle) : handle_(handle) {}
  UniqueDeviceHandle(const UniqueDeviceHandle&) = delete;
  UniqueDeviceHandle& operator=(const UniqueDeviceHandle&) = delete;
  ~UniqueDeviceHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return IsOpenDevice(handle_); }
  void reset(Handle handle = nullptr) {
    Handle old = std::exchange(handle_, handle);
    if (IsOpenDevice(old)) AudioDevice().Close(old);
  }

 private:
  Handle handle_ = nullptr;
};

}  // namespace platform
