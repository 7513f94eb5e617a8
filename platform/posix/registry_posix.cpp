// Without a registry the class entries live in the process, so a native run
// goes through the same registration steps; type libraries are accepted as
// registered. Keys are matched without regard to ASCII letter case.
#include <map>
#include <mutex>

#include "platform/registry.h"

namespace platform {
namespace {

std::u16string Folded(const std::u16string& key) {
  std::u16string out = key;
  for (char16_t& c : out)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  return out;
}

class PosixRegistry final : public ClassesRegistry {
 public:
  bool GetDefaultValue(const std::u16string& key, std::u16string* value) override {
    std::lock_guard<std::mutex> guard(lock_);
    auto found = values_.find(Folded(key));
    if (found == values_.end()) return false;
    *value = found->second;
    return true;
  }
  bool SetDefaultValue(const std::u16string& key, const std::u16string& value) override {
    std::lock_guard<std::mutex> guard(lock_);
    values_[Folded(key)] = value;
    return true;
  }
  bool DeleteTree(const std::u16string& key) override {
    std::lock_guard<std::mutex> guard(lock_);
    const std::u16string root = Folded(key);
    bool found = false;
    for (auto it = values_.begin(); it != values_.end();) {
      if (it->first == root || it->first.compare(0, root.size() + 1, root + u"\\") == 0) {
        it = values_.erase(it);
        found = true;
      } else {
        ++it;
      }
    }
    return found;
  }
  bool RegisterTypeLibrary(const Guid&) override { return true; }
  bool UnregisterTypeLibrary(const Guid&, std::uint16_t, std::uint16_t, std::uint32_t) override { return true; }
  std::u16string ModuleFileName() override { return u"/proc/self/exe"; }

 private:
  std::mutex lock_;
  std::map<std::u16string, std::u16string> values_;
};

}  // namespace

ClassesRegistry& SystemRegistry() {
  static ClassesRegistry* registry = new PosixRegistry;
  return *registry;
}

}  // namespace platform
