// The virtual audio device on POSIX: a file or FIFO behind the device path
// (see audio_device.h for the mapping). A handle is a heap record holding
// the descriptor.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <new>
#include <string>

#include "platform/audio_device.h"

namespace platform {
namespace {

struct DeviceFile {
  int fd;
};

constexpr char16_t kDevicePrefix[] = u"\\\\.\\";

// Device paths are ASCII; other code units cannot name a device and are
// replaced so that the open fails rather than hits another file.
std::string Narrow(const std::u16string& text, bool lowerCase) {
  std::string out;
  for (char16_t unit : text) {
    char c = unit < 0x80 ? static_cast<char>(unit) : '?';
    if (lowerCase && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    out += c;
  }
  return out;
}

std::string PosixPath(const char16_t* path) {
  const std::u16string text(path);
  const std::u16string prefix(kDevicePrefix);
  if (text.compare(0, prefix.size(), prefix) != 0) return Narrow(text, false);
  const char* folder = std::getenv("ULVEX_DEVICE_DIR");
  return std::string(folder && *folder ? folder : "/tmp/ulvex-devices") + "/" +
         Narrow(text.substr(prefix.size()), true);
}

int Descriptor(Handle device) {
  return IsOpenDevice(device) ? static_cast<DeviceFile*>(device)->fd : -1;
}

class PosixAudioDevice final : public AudioDeviceAccess {
 public:
  Handle Open(const char16_t* path) override {
    // Read-write keeps a FIFO open without a writer, so a read waits for the
    // feeder instead of returning end-of-file, as the device's reads wait.
    const int fd = ::open(PosixPath(path).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return InvalidHandle();
    auto* file = new (std::nothrow) DeviceFile{fd};
    if (!file) {
      ::close(fd);
      return InvalidHandle();
    }
    return file;
  }

  bool Control(Handle, std::uint32_t) override { return false; }

  bool Read(Handle device, void* buffer, std::uint32_t size, std::uint32_t* bytesRead) override {
    *bytesRead = 0;
    const int fd = Descriptor(device);
    if (fd < 0) return false;
    ssize_t got;
    do {
      got = ::read(fd, buffer, size);
    } while (got < 0 && errno == EINTR);
    if (got < 0) return false;
    *bytesRead = static_cast<std::uint32_t>(got);
    return true;
  }

  bool Close(Handle device) override {
    if (!IsOpenDevice(device)) return false;
    auto* file = static_cast<DeviceFile*>(device);
    const bool closed = ::close(file->fd) == 0;
    delete file;
    return closed;
  }
};

}  // namespace

AudioDeviceAccess& SystemAudioDevice() {
  static PosixAudioDevice device;
  return device;
}

}  // namespace platform
