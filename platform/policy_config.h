// The seam behind the default render endpoint switch: the version test and
// the audio service's policy-config objects. Called on the user-interface
// thread only, inside its single-threaded COM apartment.
#pragma once

#include <cstdint>

namespace platform {

using HResult = std::int32_t;
constexpr HResult kOk = 0;
constexpr HResult kNoInterface = static_cast<HResult>(0x80004002);
constexpr HResult kClassNotRegistered = static_cast<HResult>(0x80040154);
constexpr HResult kFail = static_cast<HResult>(0x80004005);

struct Guid {
  std::uint32_t data1;
  std::uint16_t data2;
  std::uint16_t data3;
  std::uint8_t data4[8];
};
bool operator==(const Guid& a, const Guid& b);

// The fields of OSVERSIONINFOEXW that the version test sets; every other field is zero.
struct VersionProbe {
  std::uint32_t size = 284;
  std::uint32_t majorVersion = 0;
  std::uint32_t minorVersion = 0;
};

constexpr std::uint32_t kVerMinorVersion = 1;
constexpr std::uint32_t kVerMajorVersion = 2;
constexpr std::uint8_t kVerEqual = 1;
constexpr std::uint8_t kVerGreater = 2;

// Which of the two interface layouts an object has, and so which table slot
// holds its SetDefaultEndpoint.
enum class PolicyLayout { Vista, Modern };

class PolicyConfig {
 public:
  virtual ~PolicyConfig() = default;
  virtual std::uint64_t VerSetConditionMask(std::uint64_t mask, std::uint32_t type, std::uint8_t condition) = 0;
  virtual bool VerifyVersionInfo(const VersionProbe& probe, std::uint32_t typeMask, std::uint64_t conditionMask) = 0;
  // CoCreateInstance(clsid, no outer, CLSCTX_ALL, iid). `object` may be set even on failure.
  virtual HResult CreateInstance(const Guid& clsid, const Guid& iid, void** object) = 0;
  // SetDefaultEndpoint(id, role) through the table of `object`, read as `layout`.
  virtual HResult SetDefaultEndpoint(void* object, PolicyLayout layout, const char16_t* id, int role) = 0;
  virtual void Release(void* object) = 0;
};

PolicyConfig& Policy();
PolicyConfig& SystemPolicy();
void SetPolicyForTesting(PolicyConfig* policy);

}  // namespace platform
