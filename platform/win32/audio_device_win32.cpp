// The virtual audio device on Win32: a synchronous file handle on the
// device object.
#include <windows.h>

#include "platform/audio_device.h"

namespace platform {
namespace {

class Win32AudioDevice final : public AudioDeviceAccess {
 public:
  Handle Open(const char16_t* path) override {
    return ::CreateFileW(reinterpret_cast<const wchar_t*>(path), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  }

  bool Control(Handle device, std::uint32_t code) override {
    DWORD returned = 0;
    return ::DeviceIoControl(device, code, nullptr, 0, nullptr, 0, &returned, nullptr) != FALSE;
  }

  bool Read(Handle device, void* buffer, std::uint32_t size, std::uint32_t* bytesRead) override {
    DWORD count = 0;
    const BOOL ok = ::ReadFile(device, buffer, size, &count, nullptr);
    *bytesRead = count;
    return ok != FALSE;
  }

  bool Close(Handle device) override { return ::CloseHandle(device) != FALSE; }
};

}  // namespace

AudioDeviceAccess& SystemAudioDevice() {
  static Win32AudioDevice device;
  return device;
}

}  // namespace platform
