#include "endpoints/id_buffer.h"

#include <new>

namespace {

class ProcessIdBufferHeap final : public IdBufferHeap {
 public:
  char16_t* Allocate() override { return new (std::nothrow) char16_t[kIdBufferUnits]; }
  void Free(char16_t* buffer) override { delete[] buffer; }
};

IdBufferHeap* g_override = nullptr;

}  // namespace

IdBufferHeap& IdBuffers() {
  static ProcessIdBufferHeap heap;
  return g_override ? *g_override : heap;
}

void SetIdBufferHeapForTesting(IdBufferHeap* heap) { g_override = heap; }
