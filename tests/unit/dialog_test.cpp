// The framework's dialog over windows kept in memory: the modal run, showing
// only a window that initialisation left hidden, the message map and the
// system's own handling, control binding, and the main-window services.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "platform/memory_window_system.h"

namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::DialogTemplate;
using platform::WindowHandle;

constexpr int kVisibleTemplate = 7;
constexpr int kHiddenTemplate = 8;
constexpr int kButtonId = 40;

class Windows : public platform::MemoryWindowSystem {
 public:
  Windows() {
    DefineTemplate(kVisibleTemplate,
                   DialogTemplate{u"visible", true, {ControlTemplate{kButtonId, ControlKind::PushButton, u"Go", true}}});
    DefineTemplate(kHiddenTemplate, DialogTemplate{u"hidden", false, {}});
    platform::SetWindowsForTesting(this);
  }
  ~Windows() override { platform::SetWindowsForTesting(nullptr); }
};

class ProbeDialog : public framework::Dialog {
 public:
  explicit ProbeDialog(int templateId, int initCommand = -1) : Dialog(templateId), initCommand_(initCommand) {
    MapCommand(kButtonId, platform::kBnClicked, [this] {
      log.push_back("first");
      if (throwOnClick) throw std::bad_alloc();
    });
    MapCommand(kButtonId, platform::kBnClicked, [this] { log.push_back("second"); });
    MapMessage(platform::kWmSysCommand, [this](std::uintptr_t, std::intptr_t) {
      log.push_back("syscommand");
      Default();
      return std::intptr_t{0};
    });
    MapMessage(platform::kWmDestroy, [this](std::uintptr_t, std::intptr_t) {
      log.push_back(button.attached() ? "destroy with the button" : "destroy");
      return std::intptr_t{0};
    });
  }

  std::vector<std::string> log;
  bool throwOnClick = false;
  framework::Control button;
  bool visibleAtInit = true;

 protected:
  bool OnInitDialog() override {
    Dialog::OnInitDialog();
    visibleAtInit = platform::Windows().IsWindowVisible(m_hWnd);
    if (initCommand_ >= 0) ShowWindow(initCommand_);
    return true;
  }
  void DoDataExchange(framework::DataExchange& exchange) override {
    if (exchange.dialog().m_hWnd && platform::Windows().GetDlgItem(m_hWnd, kButtonId))
      BindControl(exchange, kButtonId, button);
  }

 private:
  int initCommand_;
};

struct ShowCase {
  const char* name;
  int templateId;
  int initCommand;  // -1: none
  bool iconic;
};

TEST(Dialog, ShowsOnlyAWindowThatInitialisationLeftHidden) {
  const ShowCase cases[] = {
      {"minimised in init", kVisibleTemplate, platform::kSwMinimize, true},
      {"visible template", kVisibleTemplate, -1, false},
      {"hidden template", kHiddenTemplate, -1, false},
  };
  for (const ShowCase& c : cases) {
    SCOPED_TRACE(c.name);
    Windows windows;
    ProbeDialog dialog(c.templateId, c.initCommand);
    bool checked = false;
    windows.onIdle = [&] {
      if (checked) return false;
      WindowHandle window = windows.Dialogs().at(0);
      EXPECT_TRUE(windows.IsWindowVisible(window));
      EXPECT_EQ(windows.IsIconic(window), c.iconic);
      checked = true;
      return true;
    };
    dialog.DoModal();
    EXPECT_TRUE(checked);
    EXPECT_FALSE(dialog.visibleAtInit) << "the window is hidden while it initialises";
  }
}

TEST(Dialog, TheRunEndsWithEndDialogsResult) {
  Windows windows;
  ProbeDialog dialog(kVisibleTemplate);
  windows.onDialogCreated = [&](WindowHandle window, int) {
    windows.Post(window, platform::kWmCommand, platform::MakeCommandParam(platform::kIdOk, platform::kBnClicked), 0);
    windows.Post(window, platform::kWmCommand, platform::MakeCommandParam(kButtonId, platform::kBnClicked), 0);
  };
  EXPECT_EQ(dialog.DoModal(), platform::kIdOk);
  EXPECT_EQ(dialog.log, std::vector<std::string>{"destroy with the button"}) << "nothing after the end is handled";
  EXPECT_FALSE(dialog.button.attached()) << "bound controls are let go with the window";
  EXPECT_EQ(dialog.m_hWnd, nullptr);

  // A second run binds afresh.
  windows.onDialogCreated = [&](WindowHandle window, int) { windows.Post(window, platform::kWmClose, 0, 0); };
  EXPECT_EQ(dialog.DoModal(), platform::kIdCancel);
  EXPECT_EQ(dialog.log.back(), "destroy with the button");
}

TEST(Dialog, AnUnknownTemplateGivesMinusOne) {
  Windows windows;
  ProbeDialog dialog(99);
  EXPECT_EQ(dialog.DoModal(), -1);
  EXPECT_TRUE(windows.Dialogs().empty());
}

TEST(Dialog, TheFirstMatchingEntryHandlesAndDefaultReachesTheSystem) {
  Windows windows;
  ProbeDialog dialog(kVisibleTemplate);
  windows.onDialogCreated = [&](WindowHandle window, int) {
    windows.Post(windows.GetDlgItem(window, kButtonId), platform::kBmClick, 0, 0);
    windows.Post(window, platform::kWmCommand, platform::MakeCommandParam(kButtonId, 1), 0);
    windows.Post(window, platform::kWmSysCommand, platform::kScMinimize, 0);
  };
  int idle = 0;
  windows.onIdle = [&] {
    if (idle++) return false;
    EXPECT_TRUE(windows.IsIconic(windows.Dialogs().at(0))) << "Default() left the command to the system";
    return true;
  };
  dialog.DoModal();
  EXPECT_EQ(dialog.log, (std::vector<std::string>{"first", "syscommand", "destroy with the button"}))
      << "another notification code of the control matches no entry";
}

TEST(Dialog, AnAllocationFailureInAHandlerLeavesTheRunAndTheWindow) {
  Windows windows;
  ProbeDialog dialog(kVisibleTemplate);
  dialog.throwOnClick = true;
  windows.onDialogCreated = [&](WindowHandle window, int) {
    windows.Post(windows.GetDlgItem(window, kButtonId), platform::kBmClick, 0, 0);
  };
  EXPECT_THROW(dialog.DoModal(), std::bad_alloc);
  EXPECT_FALSE(windows.IsWindow(windows.Dialogs().at(0)));
  EXPECT_EQ(dialog.m_hWnd, nullptr);
  EXPECT_FALSE(dialog.button.attached());
}

TEST(Dialog, DestroyingTheMainWindowEndsTheRun) {
  Windows windows;
  ProbeDialog dialog(kVisibleTemplate);
  MainWindow& main = dialog;
  bool ranOn = false;
  int idle = 0;
  windows.onIdle = [&] {
    switch (idle++) {
      case 0:
        EXPECT_TRUE(main.IsWindowEnabled());
        main.DestroyWindow();
        return true;
      case 1:
        ranOn = true;
        return true;
      default:
        return false;
    }
  };
  EXPECT_EQ(dialog.DoModal(), -1);
  EXPECT_FALSE(ranOn);
  EXPECT_EQ(dialog.log, std::vector<std::string>{"destroy with the button"});
  EXPECT_FALSE(main.IsWindowEnabled()) << "no window, nothing enabled";
}

}  // namespace
