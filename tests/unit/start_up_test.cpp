// The application's start modes, end to end over recorded seams: which steps
// each command line takes and in which order, the automation object's pairing
// with the main window, and the count of outstanding objects.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/monitor_app.h"
#include "framework/server_registration.h"
#include "tests/fakes/fake_com.h"
#include "tests/fakes/fake_endpoints.h"
#include "tests/fakes/fake_messages.h"
#include "tests/fakes/fake_registry.h"
#include "ui/auto_proxy.h"

namespace {

// Records the main window's run instead of showing it.
class RecordingApp : public CUlvexDriver_MonitorApp {
 public:
  explicit RecordingApp(std::vector<std::string>& log) : log_(log) {}

 protected:
  void RunMainWindow() override { log_.push_back("run-window"); }

 private:
  std::vector<std::string>& log_;
};

struct StartCase {
  std::vector<std::u16string> arguments;
  std::vector<std::string> steps;  // after the common controls, the restart manager and OLE
};

TEST(StartUp, EachCommandLineTakesItsStepsInOrder) {
  const std::string kClassKey = "CLSID\\{8E2E391A-2A76-475A-A770-A23196240BBD}";
  const std::vector<std::string> kWrites = {
      "set UlvexDriver_Monitor.Application", "set " + kClassKey, "set UlvexDriver_Monitor.Application\\CLSID",
      "set " + kClassKey + "\\ProgID", "set " + kClassKey + "\\InprocHandler32",
      "set " + kClassKey + "\\LocalServer32", "register-typelib"};
  const std::vector<std::string> kRemovals = {"delete UlvexDriver_Monitor.Application", "delete " + kClassKey,
                                              "unregister-typelib 1.0 0"};
  auto then = [](std::vector<std::string> first, std::initializer_list<std::string> rest) {
    first.insert(first.end(), rest);
    return first;
  };
  const StartCase cases[] = {
      {{}, then(kWrites, {"run-window"})},
      {{u"/regserver"}, kWrites},
      {{u"/REGSERVER"}, kWrites},
      {{u"/Unregserver"}, kRemovals},
      {{u"-Automation"}, {"register-class", "run-window"}},
      {{u"/Embedding", u"/Unregserver"}, {"register-class", "run-window"}},
      {{u"/Regserver", u"/Unregserver"}, kRemovals},
      {{u"/RegserverPerUser"}, kWrites},
      {{u"song.wav"}, then(kWrites, {"run-window"})},
      {{u"/RestartByRestartManager:1"}, then(kWrites, {"run-window"})},
  };
  for (const StartCase& c : cases) {
    std::string shown;
    for (const auto& argument : c.arguments) shown += fakes::Narrow(argument) + " ";
    SCOPED_TRACE(shown);
    std::vector<std::string> journal;
    fakes::FakeCom com;
    fakes::FakeRegistry registry;
    fakes::FakeMessages messages;
    com.journal = &journal;
    registry.journal = &journal;
    int exitCode = -1;
    {
      RecordingApp app(journal);
      exitCode = app.Run(c.arguments);
    }
    std::vector<std::string> expected = {"controls", "restart /RestartByRestartManager:1", "ole"};
    expected.insert(expected.end(), c.steps.begin(), c.steps.end());
    expected.push_back("terminate");
    EXPECT_EQ(journal, expected);
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(messages.shown.empty());
  }
}

TEST(StartUp, RegistrationWritesTheClassAndUnregistrationRemovesIt) {
  fakes::FakeCom com;
  fakes::FakeRegistry registry;
  std::vector<std::string> windows;
  {
    RecordingApp app(windows);
    app.Run({});
  }
  EXPECT_EQ(registry.Value(u"CLSID\\{8E2E391A-2A76-475A-A770-A23196240BBD}\\LocalServer32"),
            u"\"" + registry.moduleFileName + u"\"");
  EXPECT_EQ(registry.Value(u"UlvexDriver_Monitor.Application\\CLSID"), u"{8E2E391A-2A76-475A-A770-A23196240BBD}");
  ASSERT_EQ(registry.typeLibraries.size(), 1u);
  EXPECT_EQ(FormatGuid(registry.typeLibraries[0]), u"{1C2D19C6-8787-4176-9570-F8DAB41FF3CF}");
  {
    RecordingApp app(windows);
    app.Run({u"/unregserver"});
  }
  EXPECT_TRUE(registry.values.empty());
}

TEST(StartUp, OleFailureShowsStringOneHundredAndNothingElse) {
  fakes::FakeCom com;
  com.oleOk = false;
  com.strings[100] = u"OLE initialization failed.  Make sure that the OLE libraries are the correct version.";
  fakes::FakeRegistry registry;
  fakes::FakeMessages messages;
  std::vector<std::string> windows;
  {
    RecordingApp app(windows);
    app.Run({});
  }
  EXPECT_EQ(messages.shown, std::vector<std::u16string>{com.strings[100]});
  EXPECT_EQ(messages.types, std::vector<unsigned>{platform::kMbOk});
  EXPECT_TRUE(registry.log.empty()) << "no registry change";
  EXPECT_TRUE(windows.empty()) << "no main window";
  EXPECT_EQ(com.log.back(), "terminate") << "the framework still ends OLE";
}

TEST(StartUp, AutomationRegistersTheProxyClass) {
  fakes::FakeCom com;
  fakes::FakeRegistry registry;
  std::vector<std::string> windows;
  {
    RecordingApp app(windows);
    app.Run({u"-Embedding"});
  }
  ASSERT_EQ(com.registered.size(), 1u);
  EXPECT_EQ(FormatGuid(com.registered[0].clsid), u"{8E2E391A-2A76-475A-A770-A23196240BBD}");
  EXPECT_EQ(FormatGuid(com.registered[0].dispatchIid), u"{40EF93CC-C879-42C6-8751-37397ED4EB1E}");
  EXPECT_TRUE(registry.values.empty()) << "an automation start registers nothing in the registry";
}

// A main window as the lock count sees it.
class CountingWindow : public MainWindow {
 public:
  bool enabled = true;
  int destroyed = 0;
  bool IsWindowEnabled() override { return enabled; }
  void DestroyWindow() override { ++destroyed; }
};

class BareApp : public Application {
 protected:
  bool InitInstance() override { return false; }
};

struct LastReleaseCase {
  const char* name;
  bool programmatic;
  bool hasWindow;
  bool enabled;
  int destroyed;
  bool quitPosted;
};

TEST(LockCount, TheLastReleaseEndsTheProgramOnlyUnderProgrammaticControl) {
  const LastReleaseCase cases[] = {
      {"user control", false, true, true, 0, false},
      {"programmatic, window enabled", true, true, true, 1, false},
      {"programmatic, window disabled by a modal box", true, true, false, 0, false},
      {"programmatic, no main window", true, false, true, 0, true},
  };
  for (const LastReleaseCase& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::FakeCom com;
    BareApp app;
    CountingWindow window;
    window.enabled = c.enabled;
    app.userControl = !c.programmatic;
    if (c.hasWindow) app.m_pMainWnd = &window;
    OleLockApp();
    OleLockApp();
    OleUnlockApp();
    EXPECT_EQ(window.destroyed, 0) << "one object is still out";
    OleUnlockApp();
    EXPECT_EQ(OleLockCount(), 0);
    EXPECT_EQ(window.destroyed, c.destroyed);
    EXPECT_EQ(!com.log.empty() && com.log.back() == "quit", c.quitPosted);
    EXPECT_TRUE(app.userControl) << "back under user control";
  }
}

TEST(AutoProxy, UnattachedWithoutTheProgramsMainWindowAndStillHoldsTheLock) {
  fakes::FakeCom com;
  BareApp app;
  CountingWindow other;
  app.m_pMainWnd = &other;
  app.userControl = false;
  auto* proxy = static_cast<CUlvexDriver_MonitorDlgAutoProxy*>(CUlvexDriver_MonitorDlgAutoProxy::CreateObject());
  ASSERT_NE(proxy, nullptr);
  EXPECT_EQ(proxy->m_pDialog, nullptr) << "the main window is of another class";
  EXPECT_EQ(OleLockCount(), 1);
  delete proxy;
  EXPECT_EQ(OleLockCount(), 0);
  EXPECT_EQ(other.destroyed, 1) << "the release still ends the program";
}

}  // namespace
