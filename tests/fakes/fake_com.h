// A COM side for tests: logs every call in order, can refuse OLE, and keeps
// the class registered so a test can create objects as a client would.
// Installed for its lifetime. Main thread only.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/com_server.h"

namespace fakes {

class FakeCom : public platform::ComServer {
 public:
  FakeCom() { platform::SetComForTesting(this); }
  ~FakeCom() override { platform::SetComForTesting(nullptr); }

  bool oleOk = true;
  std::map<unsigned, std::u16string> strings;
  // "controls", "ole", "restart <command line>", "register-class", "terminate", "quit"
  std::vector<std::string> log;
  std::vector<platform::ServedClass> registered;
  // When set, every entry also goes here, interleaved with other fakes'.
  std::vector<std::string>* journal = nullptr;

  void InitCommonControls() override { Note("controls"); }
  bool InitializeOle() override {
    Note("ole");
    return oleOk;
  }
  void TerminateOle() override { Note("terminate"); }
  bool RegisterForRestart(const std::u16string& commandLine) override {
    std::string narrow;
    for (char16_t c : commandLine) narrow += static_cast<char>(c);
    Note("restart " + narrow);
    return true;
  }
  bool RegisterClassObject(const platform::ServedClass& served) override {
    Note("register-class");
    registered.push_back(served);
    return true;
  }
  std::u16string LoadResourceString(unsigned id) override {
    auto found = strings.find(id);
    return found == strings.end() ? u"" : found->second;
  }
  void PostQuit() override { Note("quit"); }

 private:
  void Note(const std::string& entry) {
    log.push_back(entry);
    if (journal) journal->push_back(entry);
  }
};

}  // namespace fakes
