#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/sample_ring.h"
#include "platform/unique_handle.h"
#include "tests/fakes/fake_kernel.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Bytes named as in the examples: a1…a8 are 0xA1…0xA8, b1… are 0xB1…, and so on.
Bytes Seq(char letter, int from, int to) {
  Bytes bytes;
  for (int i = from; i <= to; ++i) bytes.push_back(static_cast<std::uint8_t>(((letter - 'a' + 0xA) << 4) | i));
  return bytes;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class SampleRingTest : public ::testing::Test {
 protected:
  void Init(std::uint32_t capacity) { ASSERT_EQ(SampleRingInit(&ring, capacity), 0); }
  std::uint32_t Write(const Bytes& bytes) {
    return SampleRingWrite(static_cast<std::uint32_t>(bytes.size()), &ring, bytes.data(), mutex.get());
  }
  Bytes Read(std::uint32_t count) {
    Bytes out(count + 16, 0xEE);
    std::uint32_t n = SampleRingRead(count, &ring, out.data(), mutex.get());
    for (std::size_t i = n; i < out.size(); ++i) EXPECT_EQ(out[i], 0xEE) << "read wrote past its count at " << i;
    out.resize(n);
    return out;
  }

  platform::UniqueHandle mutex{platform::Kernel().NewMutex()};
  SampleRing ring;
};

// One step of an example: a write of `bytes`, or a read of `readCount` that must return `bytes`.
struct Step {
  bool isRead;
  std::uint32_t readCount;
  Bytes bytes;
};
Step W(Bytes bytes) { return {false, 0, std::move(bytes)}; }
Step R(std::uint32_t count, Bytes expected) { return {true, count, std::move(expected)}; }

struct Example {
  const char* name;
  std::vector<Step> steps;
  std::uint32_t readPosAfter;
  std::uint32_t writePosAfter;
};

TEST_F(SampleRingTest, CapacityEightExamples) {
  const Example examples[] = {
      {"new ring reads nothing", {R(100, {})}, 0, 0},
      {"wrap then read all",
       {W(Seq('a', 1, 5)), R(3, Seq('a', 1, 3)), W(Seq('b', 1, 4)),
        R(100, Join({Seq('a', 4, 5), Seq('b', 1, 4)}))}, 1, 1},
      {"exactly full", {W(Seq('a', 1, 8)), R(100, Seq('a', 1, 8))}, 0, 0},
      {"longer than capacity keeps the first eight", {W(Seq('a', 1, 11)), R(100, Seq('a', 1, 8))}, 0, 0},
      {"full ring, write that does not wrap",
       {W(Seq('a', 1, 8)), W(Seq('b', 1, 3)), R(100, Join({Seq('a', 4, 8), Seq('b', 1, 3)}))}, 3, 3},
      {"full ring, write that wraps",
       {W(Seq('a', 1, 6)), R(6, Seq('a', 1, 6)), W(Seq('b', 1, 8)), W(Seq('c', 1, 3)), R(100, Seq('c', 1, 3))}, 1, 1},
      {"write behind read, overrun short of the end",
       {W(Seq('a', 1, 6)), R(4, Seq('a', 1, 4)), W(Seq('b', 1, 4)), W(Seq('c', 1, 3)),
        R(100, Join({Seq('a', 6, 6), Seq('b', 1, 4), Seq('c', 1, 3)}))}, 5, 5},
      {"write behind read, ends exactly at the end",
       {W(Seq('a', 1, 8)), R(6, Seq('a', 1, 6)), W(Seq('b', 1, 3)), W(Seq('c', 1, 5)), R(100, Seq('c', 4, 5))}, 0, 0},
      {"short read leaves the rest", {W(Seq('a', 1, 5)), R(2, Seq('a', 1, 2)), R(100, Seq('a', 3, 5))}, 5, 5},
  };
  for (const Example& example : examples) {
    SCOPED_TRACE(example.name);
    Init(8);
    for (const Step& step : example.steps) {
      if (step.isRead) {
        EXPECT_EQ(Read(step.readCount), step.bytes);
      } else {
        EXPECT_EQ(Write(step.bytes), std::min<std::size_t>(step.bytes.size(), 8));
      }
    }
    EXPECT_EQ(ring.readPos, example.readPosAfter);
    EXPECT_EQ(ring.writePos, example.writePosAfter);
    EXPECT_EQ(ring.empty, 1) << "every example ends by reading all";
  }
}

TEST_F(SampleRingTest, PositionsAndFlagAfterTheExamplesMiddleSteps) {
  Init(8);
  Write(Seq('a', 1, 5));
  Read(3);
  Write(Seq('b', 1, 4));
  EXPECT_EQ(ring.writePos, 1u);
  EXPECT_EQ(ring.readPos, 3u);
  EXPECT_EQ(ring.empty, 0);

  Init(8);
  Write(Seq('a', 1, 8));
  EXPECT_EQ(ring.readPos, 0u);
  EXPECT_EQ(ring.writePos, 0u);
  EXPECT_EQ(ring.empty, 0) << "equal positions and not empty: full";
  Read(2);
  EXPECT_EQ(ring.empty, 0);
}

TEST_F(SampleRingTest, ReadOfNothingLeavesAFullRingFull) {
  Init(8);
  Write(Seq('a', 1, 8));
  EXPECT_TRUE(Read(0).empty());
  EXPECT_EQ(ring.empty, 0);
  EXPECT_EQ(Read(100), Seq('a', 1, 8));
}

TEST_F(SampleRingTest, ResetEmptiesAndZeroFills) {
  Init(8);
  Write(Seq('a', 1, 6));
  Read(2);
  SampleRingReset(&ring, mutex.get());
  EXPECT_EQ(ring.readPos, 0u);
  EXPECT_EQ(ring.writePos, 0u);
  EXPECT_EQ(ring.empty, 1);
  EXPECT_EQ(ring.capacity, 8u);
  EXPECT_EQ(Bytes(ring.storage.get(), ring.storage.get() + 8), Bytes(8, 0));
  EXPECT_TRUE(Read(100).empty());
}

TEST_F(SampleRingTest, WithoutStorageNothingMovesAndTheMutexIsReleased) {
  fakes::FakeKernel kernel;
  platform::UniqueHandle lock(kernel.NewMutex());
  SampleRing bare;
  bare.capacity = 8;
  std::uint8_t bytes[4] = {1, 2, 3, 4};
  EXPECT_EQ(SampleRingWrite(4, &bare, bytes, lock.get()), 0u);
  EXPECT_EQ(SampleRingRead(4, &bare, bytes, lock.get()), 0u);
  EXPECT_EQ(kernel.CallsOn(lock.get()), (std::vector<std::string>{"wait", "release", "wait", "release"}));
}

TEST_F(SampleRingTest, EveryOperationHoldsTheMutexOnceWithoutTimeLimit) {
  fakes::FakeKernel kernel;
  platform::UniqueHandle lock(kernel.NewMutex());
  Init(8);
  Bytes in = Seq('a', 1, 4);
  Bytes out(8);
  SampleRingRead(4, &ring, out.data(), lock.get());  // empty: the early return
  SampleRingWrite(4, &ring, in.data(), lock.get());
  SampleRingRead(4, &ring, out.data(), lock.get());
  SampleRingReset(&ring, lock.get());
  std::vector<std::string> expected;
  for (int i = 0; i < 4; ++i) {
    expected.push_back("wait");
    expected.push_back("release");
  }
  EXPECT_EQ(kernel.CallsOn(lock.get()), expected);
  for (const auto& call : kernel.calls()) {
    if (call.op == "wait") {
      EXPECT_EQ(call.timeoutMs, platform::kInfinite);
    }
  }
}

// An independent model of the ring: storage slots hold the serial number of
// the byte written there, copied one byte at a time, and the read position
// follows the stated rules. Serial numbers let every read be checked for order.
class RingModel {
 public:
  explicit RingModel(std::uint32_t capacity) : slots_(capacity, 0), capacity_(capacity) {}

  void Write(const std::vector<std::uint64_t>& serials) {
    const std::uint32_t n = std::min<std::uint32_t>(static_cast<std::uint32_t>(serials.size()), capacity_);
    const std::uint32_t w = write_, r = read_;
    const std::uint32_t next = (w + n) % capacity_;
    for (std::uint32_t i = 0; i < n; ++i) slots_[(w + i) % capacity_] = serials[i];
    const bool wraps = w + n > capacity_;
    bool moveRead;
    if (wraps) {
      moveRead = next > r;
    } else if (w > r) {
      moveRead = false;
    } else if (w == r) {
      moveRead = !empty_;
    } else {
      moveRead = next > r;
    }
    if (moveRead) read_ = next;
    write_ = next;
    if (n > 0) empty_ = false;
  }

  std::vector<std::uint64_t> Read(std::uint32_t count) {
    std::vector<std::uint64_t> out;
    if (empty_ || count == 0) return out;
    do {
      out.push_back(slots_[read_]);
      read_ = (read_ + 1) % capacity_;
    } while (out.size() < count && read_ != write_);
    if (read_ == write_) empty_ = true;
    return out;
  }

 private:
  std::vector<std::uint64_t> slots_;
  std::uint32_t capacity_;
  std::uint32_t read_ = 0, write_ = 0;
  bool empty_ = true;
};

void Differential(std::uint32_t capacity, std::uint32_t seed, int steps) {
  SCOPED_TRACE(testing::Message() << "capacity " << capacity << " seed " << seed);
  platform::UniqueHandle mutex(platform::Kernel().NewMutex());
  SampleRing ring;
  SampleRingInit(&ring, capacity);
  RingModel model(capacity);
  std::mt19937 random(seed);
  std::uint64_t serial = 0, lastRead = 0;
  // Sizes around the capacity matter most: exact fits, overruns, wraps.
  std::uniform_int_distribution<std::uint32_t> size(0, capacity + capacity / 4 + 2);
  std::vector<std::uint8_t> buffer(capacity * 2 + 8);

  for (int step = 0; step < steps; ++step) {
    const std::uint32_t n = size(random);
    if (random() % 2) {
      std::vector<std::uint64_t> serials;
      for (std::uint32_t i = 0; i < n; ++i) {
        serials.push_back(++serial);
        buffer[i] = static_cast<std::uint8_t>(serial * 2654435761u >> 24);
      }
      ASSERT_EQ(SampleRingWrite(n, &ring, buffer.data(), mutex.get()), std::min(n, capacity)) << "step " << step;
      model.Write(serials);
    } else {
      const std::vector<std::uint64_t> expected = model.Read(n);
      const std::uint32_t got = SampleRingRead(n, &ring, buffer.data(), mutex.get());
      ASSERT_EQ(got, expected.size()) << "step " << step;
      for (std::uint32_t i = 0; i < got; ++i) {
        ASSERT_EQ(buffer[i], static_cast<std::uint8_t>(expected[i] * 2654435761u >> 24)) << "step " << step << " byte " << i;
        ASSERT_GT(expected[i], lastRead) << "bytes out of order at step " << step;
        lastRead = expected[i];
      }
    }
    ASSERT_LT(ring.readPos, capacity);
    ASSERT_LT(ring.writePos, capacity);
  }
}

TEST(SampleRingDifferential, AgreesWithModelAtCapacityEight) {
  for (std::uint32_t seed = 1; seed <= 50; ++seed) Differential(8, seed, 2000);
}

TEST(SampleRingDifferential, AgreesWithModelAtChunkCapacity) {
  for (std::uint32_t seed = 1; seed <= 5; ++seed) Differential(17640, seed, 2000);
}

}  // namespace
