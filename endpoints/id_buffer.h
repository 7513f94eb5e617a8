// ID buffers: 256 UTF-16 code units (512 bytes) each, holding one endpoint ID
// string as the item data of a device-list entry. The fill allocates them; the
// entry owns its buffer until FreeDeviceListData. UI thread.
#pragma once

#include <cstddef>

constexpr std::size_t kIdBufferUnits = 256;

class IdBufferHeap {
 public:
  virtual ~IdBufferHeap() = default;
  // Null when no memory is left.
  virtual char16_t* Allocate() = 0;
  virtual void Free(char16_t* buffer) = 0;
};

// The heap in force: the process heap unless a test installed another.
IdBufferHeap& IdBuffers();
// For tests; pass null to go back to the process heap.
void SetIdBufferHeapForTesting(IdBufferHeap* heap);
