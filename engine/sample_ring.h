// The byte ring between the capture thread (the only writer) and the playback
// thread (the only reader). It never blocks a writer: a write into a full ring
// overwrites the oldest unread bytes. It does not own its lock: every
// operation but Init is given the mutex that guards the ring and holds it for
// the whole operation.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/kernel.h"

struct SampleRing {
  std::uint32_t readPos = 0;
  std::uint32_t writePos = 0;
  std::uint32_t capacity = 0;
  std::uint32_t storageSize = 0;
  std::uint8_t empty = 1;
  std::unique_ptr<std::uint8_t[]> storage;
};

// Sets the ring up empty with room for `size` bytes; before any thread uses it.
int SampleRingInit(SampleRing* ring, std::uint32_t size);
// Empties the ring and zero-fills its storage.
void SampleRingReset(SampleRing* ring, platform::Handle mutex);
// Copies up to `capacity` bytes of `source` into the ring; returns how many.
std::uint32_t SampleRingWrite(std::uint32_t count, SampleRing* ring, const std::uint8_t* source,
                              platform::Handle mutex);
// Copies at most `count` unread bytes into `destination`; returns how many.
std::uint32_t SampleRingRead(std::uint32_t count, SampleRing* ring, std::uint8_t* destination,
                             platform::Handle mutex);
