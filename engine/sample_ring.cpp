#include "engine/sample_ring.h"

#include <algorithm>
#include <cstring>

namespace {

// Holds the ring's mutex for the life of one operation, so every return releases it.
class RingLock {
 public:
  explicit RingLock(platform::Handle mutex) : mutex_(mutex) {
    platform::Kernel().Wait(mutex_, platform::kInfinite);
  }
  ~RingLock() { platform::Kernel().ReleaseMutex(mutex_); }
  RingLock(const RingLock&) = delete;
  RingLock& operator=(const RingLock&) = delete;

 private:
  platform::Handle mutex_;
};

}  // namespace

int SampleRingInit(SampleRing* ring, std::uint32_t size) {
  ring->readPos = 0;
  ring->writePos = 0;
  ring->capacity = size;
  ring->storageSize = size;
  ring->empty = 1;
  ring->storage.reset(new std::uint8_t[size]);
  std::memset(ring->storage.get(), 0, ring->storageSize);
  return 0;
}

void SampleRingReset(SampleRing* ring, platform::Handle mutex) {
  RingLock lock(mutex);
  ring->readPos = 0;
  ring->writePos = 0;
  ring->empty = 1;
  std::memset(ring->storage.get(), 0, ring->storageSize);
}

std::uint32_t SampleRingWrite(std::uint32_t count, SampleRing* ring, const std::uint8_t* source,
                              platform::Handle mutex) {
  RingLock lock(mutex);
  if (!ring->storage || ring->capacity == 0) return 0;
  const std::uint32_t capacity = ring->capacity;
  const std::uint32_t n = std::min(count, capacity);
  const std::uint32_t w = ring->writePos;
  const std::uint32_t r = ring->readPos;
  const std::uint32_t next = static_cast<std::uint32_t>((static_cast<std::uint64_t>(w) + n) % capacity);
  std::uint8_t* storage = ring->storage.get();

  if (static_cast<std::uint64_t>(w) + n <= capacity) {
    std::memcpy(storage + w, source, n);
    const bool wasFull = w == r && ring->empty == 0;
    if (wasFull || (w < r && next > r)) ring->readPos = next;
  } else {
    const std::uint32_t head = capacity - w;
    std::memcpy(storage + w, source, head);
    std::memcpy(storage, source + head, n - head);
    if (next > r) ring->readPos = next;
  }
  ring->writePos = next;
  if (n > 0) ring->empty = 0;
  return n;
}

std::uint32_t SampleRingRead(std::uint32_t count, SampleRing* ring, std::uint8_t* destination,
                             platform::Handle mutex) {
  RingLock lock(mutex);
  // A read of nothing must not take a full ring (equal positions) for an empty one.
  if (!ring->storage || ring->empty == 1 || count == 0) return 0;
  const std::uint32_t capacity = ring->capacity;
  const std::uint32_t r = ring->readPos;
  const std::uint32_t w = ring->writePos;
  const std::uint32_t unread = w > r ? w - r : (w == r ? capacity : capacity - r + w);
  const std::uint32_t n = std::min(count, unread);
  const std::uint8_t* storage = ring->storage.get();

  if (r < w || capacity - r >= n) {
    std::memcpy(destination, storage + r, n);
  } else {
    const std::uint32_t head = capacity - r;
    std::memcpy(destination, storage + r, head);
    std::memcpy(destination + head, storage, n - head);
  }
  ring->readPos = static_cast<std::uint32_t>((static_cast<std::uint64_t>(r) + n) % capacity);
  if (ring->readPos == w) ring->empty = 1;
  return n;
}
