// A scripted endpoint catalogue for tests: endpoints given as data, any step of
// the enumeration made to answer another result for any endpoint, every call
// and every release logged in order, and a count of what is still held.
// Installed for the life of the object. One thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/endpoints.h"

namespace fakes {

struct FakeEndpoint {
  std::u16string id;
  std::u16string name;
  // False: the friendly-name value holds no wide string (another type).
  bool nameIsString = true;
};

enum class EndpointStep {
  CreateEnumerator,
  EnumAudioEndpoints,
  GetDefaultAudioEndpoint,
  DefaultGetId,
  GetCount,
  Item,
  GetId,
  OpenPropertyStore,
  GetFriendlyName,
  ActivateEndpointVolume,
  GetVolumeStepInfo,
};
const char* StepName(EndpointStep step);

std::string Narrow(const std::u16string& text);

class FakeEndpointCatalogue final : public platform::EndpointEnumeration {
 public:
  explicit FakeEndpointCatalogue(std::vector<FakeEndpoint> endpoints = {});
  ~FakeEndpointCatalogue() override;

  // The default endpoint's ID; empty means there is none (E_NOTFOUND).
  void SetDefault(std::u16string id);
  // From the nth EnumAudioEndpoints call on (1-based), collections list these.
  void ChangeEndpointsAtEnumeration(int nth, std::vector<FakeEndpoint> endpoints);
  // The step answers result, for the endpoint with that ID or (empty) for any.
  // With a success code such as S_FALSE the object is still handed out.
  void Fail(EndpointStep step, std::u16string endpointId = {}, platform::HResult result = platform::kE_FAIL);
  // Only the nth call (1-based) of the step answers result.
  void FailCall(EndpointStep step, int nth, platform::HResult result = platform::kE_FAIL);

  // "CreateEnumerator", "EnumAudioEndpoints flow=0 mask=9", "Item 2", "GetId ep",
  // "release device ep", "free id ep", "clear value ep", ...
  const std::vector<std::string>& log() const;
  void ClearLog();
  int Count(const std::string& entry) const;
  // Objects, ID strings and property values handed out and not released.
  int held() const;

  platform::HResult CreateDeviceEnumerator(std::unique_ptr<platform::DeviceEnumerator>* enumerator) override;

  struct Script;  // what the fake's objects share

 private:
  std::unique_ptr<Script> script_;
};

}  // namespace fakes
