// The main window over windows kept in memory: its start (minimised, texts,
// lists, auto-connect), Run and Stop with the default-endpoint switch, the
// auto-connect box, the title, the About item, closing with and without a
// proxy, and minimised painting. The relay underneath is the real one, on a
// fake device and a fake wave-out; the settings are real files.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/fakes/fake_audio_device.h"
#include "tests/fakes/fake_endpoints.h"
#include "tests/fakes/fake_id_buffers.h"
#include "tests/fakes/fake_messages.h"
#include "tests/fakes/fake_policy_config.h"
#include "tests/fakes/fake_profile.h"
#include "tests/fakes/fake_wave_out.h"
#include "tests/fakes/fake_wave_out_devices.h"
#include "tests/fakes/monitor_windows.h"
#include "tests/unit/profile_test_files.h"
#include "ui/auto_proxy.h"
#include "ui/monitor_dlg.h"

namespace {

namespace fs = std::filesystem;
using fakes::FakeAudioDevice;
using fakes::FakeEndpoint;
using fakes::Narrow;
using platform::WindowHandle;
using profile_test_files::ReadBytes;
using profile_test_files::ScratchFolder;
using profile_test_files::SeamPath;
using profile_test_files::WriteBytes;

const FakeEndpoint kVirtual{u"{0.0.0.00000000}.{virtual}", u"Line (Tallowmere Virtual Audio)"};
const FakeEndpoint kSpeakers{u"{0.0.0.00000000}.{speakers}", u"Speakers"};
const FakeEndpoint kHeadphones{u"{0.0.0.00000000}.{headphones}", u"Headphones"};

const char kLanguage[] =
    "[frmMain]\r\nCaption=Monitor\r\nstaticVirtualAudioDevice=Virtual\r\nstaticPlayDevice=Play on\r\n"
    "buttonRun=Run\r\nbuttonStop=Stop\r\ncheckboxAutoRun=Connect at start\r\nstaticNotice=Pick a device\r\n";
const char kVersion[] = "[product_info]\r\nmajor_version=1\r\nminor_version=2\r\n";

fakes::FakeWaveOutDevice WaveOutOf(const FakeEndpoint& endpoint) {
  fakes::FakeWaveOutDevice device;
  device.id = endpoint.id;
  return device;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(programFolder() / "language");
    fs::create_directories(appData() / "Ulvex");
    profile_.SetModulePath(SeamPath(programFolder() / "UlvexDriver_Monitor.exe"));
    profile_.SetAppDataFolder(platform::kShellOk, SeamPath(appData()));
    WriteBytes(programFolder() / "language" / "gb.ini", kLanguage);
    UseEndpoints({kVirtual, kSpeakers, kHeadphones});
  }

  fs::path programFolder() const { return scratch_.path() / "program"; }
  fs::path appData() const { return scratch_.path() / "appdata"; }
  fs::path configFile() const { return appData() / "Ulvex" / "config.ini"; }
  void WriteConfig(const std::string& body) { WriteBytes(configFile(), body); }
  int AutoConnectInFile() {
    std::string text = ReadBytes(configFile());
    const std::size_t at = text.find("autoConnect=");
    return at == std::string::npos ? -1 : text[at + 12] - '0';
  }

  void UseEndpoints(std::vector<FakeEndpoint> endpoints, std::u16string defaultId = kSpeakers.id) {
    catalogue_.reset();
    catalogue_ = std::make_unique<fakes::FakeEndpointCatalogue>(std::move(endpoints));
    catalogue_->SetDefault(std::move(defaultId));
  }

  // Runs the window modally: each step runs when the window waits for input,
  // and may post some; the run ends when the steps are done and their input
  // handled, unless the input ends it first.
  std::intptr_t Run(CUlvexDriver_MonitorDlg& window, std::vector<std::function<void()>> steps) {
    std::size_t next = 0;
    windows_.onIdle = [&] {
      if (next >= steps.size()) return false;
      steps[next++]();
      return true;
    };
    const std::intptr_t result = window.DoModal();
    windows_.onIdle = nullptr;
    return result;
  }

  // The latest main window made.
  WindowHandle MainDialog() const {
    const auto dialogs = windows_.Dialogs();
    for (auto at = dialogs.rbegin(); at != dialogs.rend(); ++at) {
      if (windows_.TemplateOf(*at) == IDD_ULVEXDRIVER_MONITOR_DIALOG) return *at;
    }
    return nullptr;
  }
  WindowHandle Control(int id) { return windows_.GetDlgItem(MainDialog(), id); }
  std::string Text(int id) { return Narrow(windows_.GetText(Control(id))); }
  void Click(int id) { windows_.Post(Control(id), platform::kBmClick, 0, 0); }
  std::vector<std::string> Switches() const {
    std::vector<std::string> ids;
    for (const auto& set : policy_.sets) ids.push_back(Narrow(set.id));
    return ids;
  }
  // Device handles opened and not closed: the relay's own while it runs.
  int OpenDevices() const { return DeviceOps(FakeAudioDevice::Op::Open) - DeviceOps(FakeAudioDevice::Op::Close); }
  int DeviceOps(FakeAudioDevice::Op op) const {
    const auto calls = device_.calls();
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [op](const auto& c) { return c.op == op; }));
  }

  ScratchFolder scratch_;
  fakes::MonitorWindows windows_;
  fakes::FakeProfile profile_;
  std::unique_ptr<fakes::FakeEndpointCatalogue> catalogue_;
  fakes::FakePolicyConfig policy_{6, 1};
  fakes::FakeIdBufferHeap heap_;
  FakeAudioDevice device_;
  fakes::FakeWaveOut waveOut_;
  fakes::FakeWaveOutDevices waveOutDevices_{{WaveOutOf(kSpeakers), WaveOutOf(kHeadphones), WaveOutOf(kVirtual)}};
  fakes::FakeMessages messages_;
};

struct AutoConnectCase {
  const char* config;  // nullptr: no config.ini
  bool on;
};

TEST_F(MainWindowTest, AutoConnectDecidesTheStartState) {
  const AutoConnectCase cases[] = {
      {"[setting]\r\nautoConnect=1\r\n", true},
      {"[setting]\r\nautoConnect=7\r\n", true},
      {"[setting]\r\nautoConnect=0\r\n", false},
      {"[setting]\r\n", false},
      {nullptr, false},
  };
  for (const AutoConnectCase& c : cases) {
    SCOPED_TRACE(c.config ? c.config : "no config.ini");
    fs::remove(configFile());
    if (c.config) WriteConfig(c.config);
    policy_.sets.clear();
    {
      CUlvexDriver_MonitorDlg window;
      Run(window, {[&] {
            EXPECT_TRUE(windows_.IsIconic(MainDialog())) << "the window starts minimised and stays so";
            EXPECT_TRUE(windows_.IsWindowVisible(MainDialog()));
            EXPECT_EQ(windows_.IsChecked(Control(IDC_CHECK_AUTO_CONNECT)), c.on);
            EXPECT_EQ(window.running(), c.on);
            EXPECT_EQ(Text(IDC_BUTTON_RUN), c.on ? "Stop" : "Run");
            EXPECT_EQ(Switches(), c.on ? std::vector<std::string>{Narrow(kVirtual.id)} : std::vector<std::string>{});
            EXPECT_EQ(OpenDevices(), c.on ? 1 : 0);
          }});
    }
    EXPECT_EQ(profile_.Count("write"), 0) << "setting the box at start writes nothing";
  }
}

TEST_F(MainWindowTest, TheBoxWritesAtOnceAndChangesNothingElse) {
  WriteConfig("[setting]\r\nautoConnect=1\r\n");
  CUlvexDriver_MonitorDlg window;
  Run(window, {
                  [&] { Click(IDC_CHECK_AUTO_CONNECT); },
                  [&] {
                    EXPECT_EQ(AutoConnectInFile(), 0);
                    EXPECT_TRUE(window.running()) << "a click on the box does not stop the relay";
                    EXPECT_EQ(OpenDevices(), 1);
                    EXPECT_EQ(Text(IDC_BUTTON_RUN), "Stop");
                    EXPECT_EQ(Switches().size(), 1u);
                    Click(IDC_CHECK_AUTO_CONNECT);
                  },
                  [&] {
                    EXPECT_EQ(AutoConnectInFile(), 1);
                    EXPECT_TRUE(window.running());
                    EXPECT_EQ(profile_.Count("write"), 2);
                  },
              });
}

TEST_F(MainWindowTest, TwoClicksStartThenStopAndTheCaptionFollows) {
  CUlvexDriver_MonitorDlg window;
  std::vector<std::string> captions;
  Run(window, {
                  [&] {
                    captions.push_back(Text(IDC_BUTTON_RUN));
                    Click(IDC_BUTTON_RUN);
                  },
                  [&] {
                    captions.push_back(Text(IDC_BUTTON_RUN));
                    EXPECT_TRUE(window.running());
                    EXPECT_TRUE(window.relay());
                    EXPECT_TRUE(waveOut_.WaitForOpen(std::chrono::seconds(20))) << "the playback thread opened no output";
                    Click(IDC_BUTTON_RUN);
                  },
                  [&] {
                    captions.push_back(Text(IDC_BUTTON_RUN));
                    EXPECT_FALSE(window.running());
                    EXPECT_FALSE(window.relay());
                    EXPECT_EQ(OpenDevices(), 0);
                  },
              });
  EXPECT_EQ(captions, (std::vector<std::string>{"Run", "Stop", "Run"}));
  // To the virtual device before the start, back to the chosen device after the stop.
  EXPECT_EQ(Switches(), (std::vector<std::string>{Narrow(kVirtual.id), Narrow(kSpeakers.id)}));
  EXPECT_TRUE(messages_.shown.empty());
}

struct EmptyListCase {
  const char* name;
  std::vector<FakeEndpoint> endpoints;
  std::vector<std::string> switches;  // after a start and a stop
};

TEST_F(MainWindowTest, AnEmptyListSkipsItsSwitchOnly) {
  const EmptyListCase cases[] = {
      {"no virtual device", {kSpeakers, kHeadphones}, {Narrow(kSpeakers.id)}},
      {"two virtual devices, none selected",
       {kVirtual, {u"{0.0.0.00000000}.{second}", u"Tallowmere Two"}, kSpeakers},
       {Narrow(kSpeakers.id)}},
      {"no playback device", {kVirtual}, {Narrow(kVirtual.id)}},
  };
  for (const EmptyListCase& c : cases) {
    SCOPED_TRACE(c.name);
    UseEndpoints(c.endpoints);
    policy_.sets.clear();
    CUlvexDriver_MonitorDlg window;
    Run(window, {
                    [&] { Click(IDC_BUTTON_RUN); },
                    [&] {
                      EXPECT_TRUE(window.running());
                      Click(IDC_BUTTON_RUN);
                    },
                    [&] { EXPECT_FALSE(window.running()); },
                });
    EXPECT_EQ(Switches(), c.switches);
  }
}

struct TitleCase {
  const char* name;
  bool languageFile;
  bool configFile;
  std::string title;
};

TEST_F(MainWindowTest, TheTitleIsTheCaptionASpaceAndTheVersion) {
  const TitleCase cases[] = {
      {"both files", true, true, "Monitor 1.2"},
      {"no config.ini", true, false, "Monitor 0.0"},
      {"neither file", false, false, " 0.0"},
  };
  for (const TitleCase& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(configFile());
    fs::remove(programFolder() / "language" / "gb.ini");
    if (c.languageFile) WriteBytes(programFolder() / "language" / "gb.ini", kLanguage);
    if (c.configFile) WriteConfig(kVersion);
    CUlvexDriver_MonitorDlg window;
    Run(window, {[&] {
          EXPECT_EQ(Narrow(windows_.GetText(MainDialog())), c.title);
          EXPECT_EQ(Text(IDC_STATIC_VIRTUAL_DEVICE), c.languageFile ? "Virtual" : "");
          EXPECT_EQ(Text(IDC_STATIC_PLAY_DEVICE), c.languageFile ? "Play on" : "");
          EXPECT_EQ(Text(IDC_BUTTON_RUN), c.languageFile ? "Run" : "");
          EXPECT_EQ(Text(IDC_CHECK_AUTO_CONNECT), c.languageFile ? "Connect at start" : "");
          EXPECT_EQ(Text(IDC_STATIC_NOTICE), c.languageFile ? "Pick a device" : "");
        }});
  }
}

TEST_F(MainWindowTest, TheStartFillsTheListsAndSetsTheIcons) {
  CUlvexDriver_MonitorDlg window;
  Run(window, {[&] {
        auto virtualList = windows_.ComboList(Control(IDC_COMBO_VIRTUAL_DEVICE));
        auto playList = windows_.ComboList(Control(IDC_COMBO_PLAY_DEVICE));
        EXPECT_EQ(virtualList->GetCount(), 1);
        EXPECT_EQ(virtualList->GetCurSel(), 0);
        EXPECT_EQ(playList->GetCount(), 2);
        EXPECT_EQ(Narrow(reinterpret_cast<const char16_t*>(playList->GetItemData(playList->GetCurSel()))),
                  Narrow(kSpeakers.id));
        const platform::IconHandle icon = windows_.LoadIconResource(IDR_MAINFRAME);
        EXPECT_NE(icon, nullptr);
        EXPECT_EQ(windows_.WindowIcon(MainDialog(), platform::kIconBig), icon);
        EXPECT_EQ(windows_.WindowIcon(MainDialog(), platform::kIconSmall), icon);
        EXPECT_EQ(windows_.Send(MainDialog(), platform::kWmQueryDragIcon, 0, 0), reinterpret_cast<std::intptr_t>(icon));
        EXPECT_EQ(heap_.live(), 3);
      }});
  EXPECT_EQ(heap_.live(), 0) << "the lists' ID buffers are freed when the window goes";
  EXPECT_EQ(heap_.badFrees(), 0);
}

TEST_F(MainWindowTest, TheAboutItemExistsOnlyWithItsText) {
  struct Case {
    const char16_t* text;  // nullptr: no string 101
    bool item;
  } const cases[] = {{u"&About UlvexDriver_Monitor...", true}, {u"", false}, {nullptr, false}};
  for (const Case& c : cases) {
    fakes::MonitorWindows windows;  // a fresh set of resources for each case
    if (c.text) {
      windows.DefineString(IDS_ABOUTBOX, c.text);
    } else {
      windows.RemoveString(IDS_ABOUTBOX);
    }
    CUlvexDriver_MonitorDlg window;
    window.DoModal();
    const auto items = windows.SystemMenuItems(windows.Dialogs().at(0));
    if (c.item) {
      ASSERT_EQ(items.size(), 2u);
      EXPECT_EQ(items[0].flags, platform::kMfSeparator);
      EXPECT_EQ(items[1].flags, platform::kMfString);
      EXPECT_EQ(items[1].id, 16u);
      EXPECT_EQ(Narrow(items[1].text), "&About UlvexDriver_Monitor...");
    } else {
      EXPECT_TRUE(items.empty());
    }
  }
}

TEST_F(MainWindowTest, TheAboutItemShowsTheAboutBoxModally) {
  CUlvexDriver_MonitorDlg window;
  WindowHandle about = nullptr;
  Run(window, {
                  [&] { windows_.Post(MainDialog(), platform::kWmSysCommand, IDM_ABOUTBOX, 0); },
                  [&] {
                    ASSERT_EQ(windows_.Dialogs().size(), 2u);
                    about = windows_.Dialogs()[1];
                    EXPECT_EQ(windows_.TemplateOf(about), IDD_ABOUTBOX);
                    EXPECT_TRUE(windows_.IsWindowVisible(about)) << "the box shows itself, its template being hidden";
                    EXPECT_FALSE(windows_.IsWindowEnabled(MainDialog())) << "the window takes no input meanwhile";
                    windows_.Post(windows_.GetDlgItem(about, platform::kIdOk), platform::kBmClick, 0, 0);
                  },
                  [&] {
                    EXPECT_FALSE(windows_.IsWindow(about));
                    EXPECT_TRUE(windows_.IsWindow(MainDialog())) << "back to the window";
                    EXPECT_TRUE(windows_.IsWindowEnabled(MainDialog()));
                  },
              });
  EXPECT_EQ(windows_.Dialogs().size(), 2u);
}

TEST_F(MainWindowTest, OtherSystemCommandsReachTheSystem) {
  CUlvexDriver_MonitorDlg window;
  const std::intptr_t result =
      Run(window, {
                      [&] { windows_.Post(MainDialog(), platform::kWmSysCommand, platform::kScRestore, 0); },
                      [&] {
                        EXPECT_FALSE(windows_.IsIconic(MainDialog()));
                        windows_.Post(MainDialog(), platform::kWmSysCommand, platform::kScClose, 0);
                      },
                  });
  EXPECT_EQ(result, platform::kIdCancel);
  EXPECT_EQ(windows_.Dialogs().size(), 1u);
}

struct CloseCase {
  const char* name;
  std::uint32_t message;
  std::uintptr_t wParam;
  std::intptr_t result;  // of the run without a proxy
};

TEST_F(MainWindowTest, ClosingEndsTheRunWithoutAProxyAndHidesWithOne) {
  const CloseCase cases[] = {
      {"WM_CLOSE", platform::kWmClose, 0, platform::kIdCancel},
      {"IDOK", platform::kWmCommand, platform::MakeCommandParam(platform::kIdOk, platform::kBnClicked), platform::kIdOk},
      {"IDCANCEL", platform::kWmCommand, platform::MakeCommandParam(platform::kIdCancel, platform::kBnClicked),
       platform::kIdCancel},
  };
  for (const CloseCase& c : cases) {
    SCOPED_TRACE(c.name);
    {
      CUlvexDriver_MonitorDlg window;
      bool ranOn = false;
      const std::intptr_t result = Run(window, {[&] { windows_.Post(MainDialog(), c.message, c.wParam, 0); },
                                                [&] { ranOn = true; }});
      EXPECT_EQ(result, c.result);
      EXPECT_FALSE(ranOn) << "the run went on after the close";
      EXPECT_FALSE(windows_.IsWindow(windows_.Dialogs().back()));
    }
    {
      CUlvexDriver_MonitorDlgAutoProxy proxy;
      CUlvexDriver_MonitorDlg window;
      window.m_pAutoProxy = &proxy;
      proxy.m_pDialog = &window;
      WindowHandle dialog = nullptr;
      const std::intptr_t result = Run(window, {
                                                   [&] {
                                                     dialog = windows_.Dialogs().back();
                                                     windows_.Post(dialog, c.message, c.wParam, 0);
                                                   },
                                                   [&] {
                                                     EXPECT_TRUE(windows_.IsWindow(dialog));
                                                     EXPECT_FALSE(windows_.IsWindowVisible(dialog));
                                                     // The client lets go: the proxy detaches.
                                                     proxy.m_pDialog = nullptr;
                                                     window.m_pAutoProxy = nullptr;
                                                     windows_.Post(dialog, platform::kWmClose, 0, 0);
                                                   },
                                               });
      EXPECT_EQ(result, platform::kIdCancel) << "without the proxy the window closes again";
      EXPECT_EQ(heap_.live(), 0);
    }
  }
}

TEST_F(MainWindowTest, TheDestructorClearsTheProxysPointer) {
  CUlvexDriver_MonitorDlgAutoProxy proxy;
  {
    CUlvexDriver_MonitorDlg window;
    window.m_pAutoProxy = &proxy;
    proxy.m_pDialog = &window;
  }
  EXPECT_EQ(proxy.m_pDialog, nullptr);
}

TEST_F(MainWindowTest, ClosingWhileRunningLeavesTheDefaultAndTheRelayStopsWithTheObject) {
  WriteConfig("[setting]\r\nautoConnect=1\r\n");
  {
    CUlvexDriver_MonitorDlg window;
    Run(window, {[&] { windows_.Post(MainDialog(), platform::kWmClose, 0, 0); }});
    EXPECT_TRUE(window.running()) << "closing does not stop the relay";
    EXPECT_EQ(OpenDevices(), 1);
  }
  EXPECT_EQ(OpenDevices(), 0) << "the relay's threads end before the window object goes";
  EXPECT_EQ(Switches(), std::vector<std::string>{Narrow(kVirtual.id)}) << "and the default is not switched back";
}

struct PaintCase {
  int width, height;
  int x, y;
};

TEST_F(MainWindowTest, TheMinimisedIconIsCentred) {
  const PaintCase cases[] = {{35, 35, 2, 2}, {36, 36, 2, 2}, {32, 33, 0, 1}, {100, 60, 34, 14}, {20, 31, -5, 0}};
  CUlvexDriver_MonitorDlg window;
  Run(window, {[&] {
        for (const PaintCase& c : cases) {
          SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
          const std::size_t drawnBefore = windows_.drawnIcons().size();
          windows_.SetClientSize(MainDialog(), c.width, c.height);
          windows_.Send(MainDialog(), platform::kWmPaint, 0, 0);
          ASSERT_EQ(windows_.drawnIcons().size(), drawnBefore + 1);
          const auto& drawn = windows_.drawnIcons().back();
          EXPECT_EQ(drawn.x, c.x);
          EXPECT_EQ(drawn.y, c.y);
          EXPECT_EQ(drawn.icon, windows_.LoadIconResource(IDR_MAINFRAME));
          ASSERT_FALSE(windows_.erasedIconBackgrounds().empty());
          EXPECT_NE(windows_.erasedIconBackgrounds().back(), nullptr) << "the background is erased in the paint context";
          EXPECT_EQ(windows_.openPaints(), 0);
        }
        windows_.ShowWindow(MainDialog(), platform::kSwRestore);
        const std::size_t drawnBefore = windows_.drawnIcons().size();
        windows_.Send(MainDialog(), platform::kWmPaint, 0, 0);
        EXPECT_EQ(windows_.drawnIcons().size(), drawnBefore) << "a restored window paints as a dialog";
        EXPECT_EQ(windows_.openPaints(), 0);
      }});
}

}  // namespace
