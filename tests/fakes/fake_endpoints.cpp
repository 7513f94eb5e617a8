#include "tests/fakes/fake_endpoints.h"

#include <algorithm>
#include <map>

namespace fakes {

using platform::HResult;
using platform::kS_OK;

struct FakeEndpointCatalogue::Script {
  std::vector<FakeEndpoint> endpoints;
  std::map<int, std::vector<FakeEndpoint>> changes;
  struct Rule {
    EndpointStep step;
    std::u16string endpointId;
    int nth;  // 0: every call
    HResult result;
  };
  std::vector<Rule> rules;
  std::map<EndpointStep, int> calls;
  std::u16string defaultId;
  std::vector<std::string> log;
  int held = 0;
  int enumerations = 0;

  // The scripted answer of the step for the endpoint, S_OK when none.
  HResult Answer(EndpointStep step, const std::u16string& endpointId) {
    const int call = ++calls[step];
    for (const Rule& rule : rules) {
      if (rule.step != step) continue;
      if (!rule.endpointId.empty() && rule.endpointId != endpointId) continue;
      if (rule.nth != 0 && rule.nth != call) continue;
      return rule.result;
    }
    return kS_OK;
  }
  void Log(std::string entry) { log.push_back(std::move(entry)); }
};

const char* StepName(EndpointStep step) {
  switch (step) {
    case EndpointStep::CreateEnumerator:
      return "CreateEnumerator";
    case EndpointStep::EnumAudioEndpoints:
      return "EnumAudioEndpoints";
    case EndpointStep::GetDefaultAudioEndpoint:
      return "GetDefaultAudioEndpoint";
    case EndpointStep::DefaultGetId:
      return "DefaultGetId";
    case EndpointStep::GetCount:
      return "GetCount";
    case EndpointStep::Item:
      return "Item";
    case EndpointStep::GetId:
      return "GetId";
    case EndpointStep::OpenPropertyStore:
      return "OpenPropertyStore";
    case EndpointStep::GetFriendlyName:
      return "GetFriendlyName";
    case EndpointStep::ActivateEndpointVolume:
      return "ActivateEndpointVolume";
    case EndpointStep::GetVolumeStepInfo:
      return "GetVolumeStepInfo";
  }
  return "?";
}

std::string Narrow(const std::u16string& text) {
  std::string narrow;
  for (char16_t unit : text) narrow.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
  return narrow;
}

namespace {

using Script = FakeEndpointCatalogue::Script;

// Counts itself held from birth to release, and logs the release.
class Held {
 public:
  Held(Script& script, std::string release) : script_(script), release_(std::move(release)) { ++script_.held; }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  ~Held() {
    --script_.held;
    script_.Log(release_);
  }

 protected:
  Script& script_;

 private:
  std::string release_;
};

// Makes and hands out an object when the answer is a success code, and
// returns the answer.
template <typename Seam, typename Make>
HResult HandOut(HResult answer, std::unique_ptr<Seam>* out, Make make) {
  out->reset();
  if (answer >= 0) *out = make();
  return answer;
}

class FakeIdString final : public platform::EndpointIdString, Held {
 public:
  FakeIdString(Script& script, const std::u16string& id, const std::string& owner)
      : Held(script, "free id " + owner), text_(id) {}
  const char16_t* text() const override { return text_.c_str(); }

 private:
  std::u16string text_;
};

class FakeValue final : public platform::PropertyValue, Held {
 public:
  FakeValue(Script& script, const FakeEndpoint& endpoint)
      : Held(script, "clear value " + Narrow(endpoint.id)), text_(endpoint.name), isString_(endpoint.nameIsString) {}
  const char16_t* wideString() const override { return isString_ ? text_.c_str() : nullptr; }

 private:
  std::u16string text_;
  bool isString_;
};

class FakeVolume final : public platform::EndpointVolume, Held {
 public:
  FakeVolume(Script& script, const std::u16string& id) : Held(script, "release volume " + Narrow(id)), id_(id) {}
  HResult GetVolumeStepInfo(std::uint32_t* step, std::uint32_t* stepCount) override {
    script_.Log("GetVolumeStepInfo " + Narrow(id_));
    *step = 0;
    *stepCount = 100;
    return script_.Answer(EndpointStep::GetVolumeStepInfo, id_);
  }

 private:
  std::u16string id_;
};

class FakeStore final : public platform::PropertyStore, Held {
 public:
  FakeStore(Script& script, FakeEndpoint endpoint)
      : Held(script, "release store " + Narrow(endpoint.id)), endpoint_(std::move(endpoint)) {}
  HResult GetFriendlyName(std::unique_ptr<platform::PropertyValue>* value) override {
    script_.Log("GetFriendlyName " + Narrow(endpoint_.id));
    // Like GetValue, the value is always handed back, cleared or not.
    *value = std::make_unique<FakeValue>(script_, endpoint_);
    return script_.Answer(EndpointStep::GetFriendlyName, endpoint_.id);
  }

 private:
  FakeEndpoint endpoint_;
};

class FakeDevice final : public platform::Device, Held {
 public:
  FakeDevice(Script& script, FakeEndpoint endpoint, bool isDefaultHandle)
      : Held(script, (isDefaultHandle ? "release default " : "release device ") + Narrow(endpoint.id)),
        endpoint_(std::move(endpoint)),
        isDefaultHandle_(isDefaultHandle) {}

  HResult GetId(std::unique_ptr<platform::EndpointIdString>* id) override {
    const std::string owner = (isDefaultHandle_ ? "default " : "") + Narrow(endpoint_.id);
    script_.Log("GetId " + owner);
    const HResult answer =
        script_.Answer(isDefaultHandle_ ? EndpointStep::DefaultGetId : EndpointStep::GetId, endpoint_.id);
    return HandOut(answer, id, [&] { return std::make_unique<FakeIdString>(script_, endpoint_.id, owner); });
  }

  HResult OpenPropertyStore(std::uint32_t access, std::unique_ptr<platform::PropertyStore>* store) override {
    script_.Log("OpenPropertyStore access=" + std::to_string(access) + " " + Narrow(endpoint_.id));
    return HandOut(script_.Answer(EndpointStep::OpenPropertyStore, endpoint_.id), store,
                   [&] { return std::make_unique<FakeStore>(script_, endpoint_); });
  }

  HResult ActivateEndpointVolume(std::unique_ptr<platform::EndpointVolume>* volume) override {
    script_.Log("ActivateEndpointVolume " + Narrow(endpoint_.id));
    return HandOut(script_.Answer(EndpointStep::ActivateEndpointVolume, endpoint_.id), volume,
                   [&] { return std::make_unique<FakeVolume>(script_, endpoint_.id); });
  }

 private:
  FakeEndpoint endpoint_;
  bool isDefaultHandle_;
};

class FakeCollection final : public platform::DeviceCollection, Held {
 public:
  FakeCollection(Script& script, std::vector<FakeEndpoint> endpoints)
      : Held(script, "release collection"), endpoints_(std::move(endpoints)) {}

  HResult GetCount(std::uint32_t* count) override {
    script_.Log("GetCount preset=" + std::to_string(static_cast<std::int32_t>(*count)));
    const HResult answer = script_.Answer(EndpointStep::GetCount, {});
    if (answer == kS_OK) *count = static_cast<std::uint32_t>(endpoints_.size());
    return answer;
  }

  HResult Item(std::uint32_t index, std::unique_ptr<platform::Device>* device) override {
    script_.Log("Item " + std::to_string(index));
    device->reset();
    if (index >= endpoints_.size()) return platform::kE_INVALIDARG;
    const FakeEndpoint& endpoint = endpoints_[index];
    return HandOut(script_.Answer(EndpointStep::Item, endpoint.id), device,
                   [&] { return std::make_unique<FakeDevice>(script_, endpoint, false); });
  }

 private:
  std::vector<FakeEndpoint> endpoints_;
};

class FakeEnumerator final : public platform::DeviceEnumerator, Held {
 public:
  explicit FakeEnumerator(Script& script) : Held(script, "release enumerator") {}

  HResult EnumAudioEndpoints(int dataFlow, std::uint32_t stateMask,
                             std::unique_ptr<platform::DeviceCollection>* devices) override {
    script_.Log("EnumAudioEndpoints flow=" + std::to_string(dataFlow) + " mask=" + std::to_string(stateMask));
    ++script_.enumerations;
    auto change = script_.changes.find(script_.enumerations);
    if (change != script_.changes.end()) script_.endpoints = change->second;
    return HandOut(script_.Answer(EndpointStep::EnumAudioEndpoints, {}), devices,
                   [&] { return std::make_unique<FakeCollection>(script_, script_.endpoints); });
  }

  HResult GetDefaultAudioEndpoint(int dataFlow, int role, std::unique_ptr<platform::Device>* device) override {
    script_.Log("GetDefaultAudioEndpoint flow=" + std::to_string(dataFlow) + " role=" + std::to_string(role));
    device->reset();
    if (script_.defaultId.empty()) return platform::kE_NOTFOUND;
    FakeEndpoint endpoint{script_.defaultId, u"", true};
    for (const FakeEndpoint& listed : script_.endpoints) {
      if (listed.id == script_.defaultId) endpoint = listed;
    }
    return HandOut(script_.Answer(EndpointStep::GetDefaultAudioEndpoint, endpoint.id), device,
                   [&] { return std::make_unique<FakeDevice>(script_, endpoint, true); });
  }
};

}  // namespace

FakeEndpointCatalogue::FakeEndpointCatalogue(std::vector<FakeEndpoint> endpoints)
    : script_(std::make_unique<Script>()) {
  script_->endpoints = std::move(endpoints);
  platform::SetEndpointsForTesting(this);
}

FakeEndpointCatalogue::~FakeEndpointCatalogue() { platform::SetEndpointsForTesting(nullptr); }

void FakeEndpointCatalogue::ChangeEndpointsAtEnumeration(int nth, std::vector<FakeEndpoint> endpoints) {
  script_->changes[nth] = std::move(endpoints);
}

void FakeEndpointCatalogue::Fail(EndpointStep step, std::u16string endpointId, HResult result) {
  script_->rules.push_back({step, std::move(endpointId), 0, result});
}

void FakeEndpointCatalogue::FailCall(EndpointStep step, int nth, HResult result) {
  script_->rules.push_back({step, {}, nth, result});
}

void FakeEndpointCatalogue::SetDefault(std::u16string id) { script_->defaultId = std::move(id); }
const std::vector<std::string>& FakeEndpointCatalogue::log() const { return script_->log; }
void FakeEndpointCatalogue::ClearLog() { script_->log.clear(); }
int FakeEndpointCatalogue::held() const { return script_->held; }

int FakeEndpointCatalogue::Count(const std::string& entry) const {
  return static_cast<int>(std::count(script_->log.begin(), script_->log.end(), entry));
}

HResult FakeEndpointCatalogue::CreateDeviceEnumerator(std::unique_ptr<platform::DeviceEnumerator>* enumerator) {
  script_->Log("CreateEnumerator");
  return HandOut(script_->Answer(EndpointStep::CreateEnumerator, {}), enumerator,
                 [&] { return std::make_unique<FakeEnumerator>(*script_); });
}

}  // namespace fakes
