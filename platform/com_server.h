// The seam of the application's OLE side: common controls, OLE start and end
// on the main thread (a single-threaded apartment with a message filter), the
// restart manager, the class object of a local server, string resources and
// the quit message. Main thread only.
#pragma once

#include <string>

#include "platform/policy_config.h"

namespace platform {

// What a client created through the class object. Deleted when the client's
// last reference goes; its destructor runs on the main thread.
class ServedObject {
 public:
  virtual ~ServedObject() = default;
};

struct ServedClass {
  Guid clsid;
  Guid dispatchIid;  // answered by QueryInterface beside IUnknown and IDispatch
  ServedObject* (*create)();  // null when the object cannot be made
  void (*lockServer)(bool lock);
};

class ComServer {
 public:
  virtual ~ComServer() = default;
  virtual void InitCommonControls() = 0;
  virtual bool InitializeOle() = 0;
  // Revokes the class objects, removes the message filter, ends OLE.
  virtual void TerminateOle() = 0;
  // Restart only: no recovery, no files.
  virtual bool RegisterForRestart(const std::u16string& commandLine) = 0;
  // Local server, single use: one object per process.
  virtual bool RegisterClassObject(const ServedClass& served) = 0;
  virtual std::u16string LoadResourceString(unsigned id) = 0;
  virtual void PostQuit() = 0;
};

ComServer& Com();
ComServer& SystemCom();
void SetComForTesting(ComServer* com);

}  // namespace platform
