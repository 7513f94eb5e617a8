#include "tests/fakes/fake_registry.h"

#include "tests/fakes/fake_endpoints.h"

namespace fakes {
namespace {

std::u16string Folded(const std::u16string& key) {
  std::u16string out = key;
  for (char16_t& c : out)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  return out;
}

}  // namespace

void FakeRegistry::Note(const std::string& entry) {
  log.push_back(entry);
  if (journal) journal->push_back(entry);
}

FakeRegistry::FakeRegistry() { platform::SetRegistryForTesting(this); }
FakeRegistry::~FakeRegistry() { platform::SetRegistryForTesting(nullptr); }

bool FakeRegistry::Has(const std::u16string& key) const { return values.count(Folded(key)) != 0; }

std::u16string FakeRegistry::Value(const std::u16string& key) const {
  auto found = values.find(Folded(key));
  return found == values.end() ? u"" : found->second;
}

bool FakeRegistry::GetDefaultValue(const std::u16string& key, std::u16string* value) {
  auto found = values.find(Folded(key));
  if (found == values.end()) return false;
  *value = found->second;
  return true;
}

bool FakeRegistry::SetDefaultValue(const std::u16string& key, const std::u16string& value) {
  Note("set " + Narrow(key));
  values[Folded(key)] = value;
  return true;
}

bool FakeRegistry::DeleteTree(const std::u16string& key) {
  Note("delete " + Narrow(key));
  const std::u16string root = Folded(key);
  for (auto it = values.begin(); it != values.end();) {
    const bool under = it->first == root || it->first.compare(0, root.size() + 1, root + u"\\") == 0;
    it = under ? values.erase(it) : std::next(it);
  }
  return true;
}

bool FakeRegistry::RegisterTypeLibrary(const platform::Guid& libid) {
  Note("register-typelib");
  typeLibraries.push_back(libid);
  return typeLibraryOk;
}

bool FakeRegistry::UnregisterTypeLibrary(const platform::Guid& libid, std::uint16_t major, std::uint16_t minor,
                                         std::uint32_t locale) {
  Note("unregister-typelib " + std::to_string(major) + "." + std::to_string(minor) + " " +
                std::to_string(locale));
  typeLibraries.push_back(libid);
  return typeLibraryOk;
}

}  // namespace fakes
