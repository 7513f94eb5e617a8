// Without OLE the native build starts as if OLE came up and serves no
// clients; it still posts its quit request, which the native host reads.
#include <atomic>

#include "platform/com_server.h"

namespace platform {
namespace {

class PosixCom final : public ComServer {
 public:
  void InitCommonControls() override {}
  bool InitializeOle() override { return true; }
  void TerminateOle() override {}
  bool RegisterForRestart(const std::u16string&) override { return true; }
  bool RegisterClassObject(const ServedClass&) override { return true; }
  std::u16string LoadResourceString(unsigned) override { return u""; }
  void PostQuit() override { quitPosted_ = true; }

 private:
  std::atomic<bool> quitPosted_{false};
};

}  // namespace

ComServer& SystemCom() {
  static ComServer* com = new PosixCom;
  return *com;
}

}  // namespace platform
