#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/command_line.h"
#include "framework/server_registration.h"
#include "tests/fakes/fake_endpoints.h"
#include "tests/fakes/fake_registry.h"

namespace {

struct ModeCase {
  std::vector<std::u16string> arguments;
  StartMode mode;
  ShellCommand command;
  bool programmatic;
};

TEST(CommandLine, SwitchesChooseTheStartMode) {
  const ModeCase cases[] = {
      {{}, StartMode::Normal, ShellCommand::FileNew, false},
      {{u"/regserver"}, StartMode::Registration, ShellCommand::AppRegister, false},
      {{u"/REGSERVER"}, StartMode::Registration, ShellCommand::AppRegister, false},
      {{u"-RegServer"}, StartMode::Registration, ShellCommand::AppRegister, false},
      {{u"/Register"}, StartMode::Registration, ShellCommand::AppRegister, false},
      {{u"/Unregserver"}, StartMode::Unregistration, ShellCommand::AppUnregister, false},
      {{u"/unregister"}, StartMode::Unregistration, ShellCommand::AppUnregister, false},
      {{u"-Automation"}, StartMode::Automation, ShellCommand::FileNew, true},
      {{u"-Embedding"}, StartMode::Automation, ShellCommand::FileNew, true},
      {{u"/Embedding", u"/Unregserver"}, StartMode::Automation, ShellCommand::AppUnregister, true},
      {{u"/Regserver", u"/Unregserver"}, StartMode::Unregistration, ShellCommand::AppUnregister, false},
      {{u"/Unregserver", u"/Regserver"}, StartMode::Registration, ShellCommand::AppRegister, false},
      {{u"/RegserverPerUser"}, StartMode::Registration, ShellCommand::AppRegister, false},
      {{u"/UnregisterPerUser"}, StartMode::Unregistration, ShellCommand::AppUnregister, false},
      {{u"song.wav"}, StartMode::Normal, ShellCommand::FileOpen, false},
      {{u"/RestartByRestartManager:ABC", u"song.wav"}, StartMode::Normal, ShellCommand::RestartByRestartManager, false},
      {{u"/RestartByRestartManager", u"token"}, StartMode::Normal, ShellCommand::RestartByRestartManager, false},
      {{u"/p", u"a.txt"}, StartMode::Normal, ShellCommand::FilePrint, false},
      {{u"/pt", u"a.txt", u"printer", u"driver", u"port"}, StartMode::Normal, ShellCommand::FilePrintTo, false},
      {{u"/dde"}, StartMode::Normal, ShellCommand::FileDDE, true},
      {{u"/Regserver", u"/p"}, StartMode::Normal, ShellCommand::FilePrint, false},
      {{u"/nosuchswitch"}, StartMode::Normal, ShellCommand::FileNew, false},
      {{u"Regserver"}, StartMode::Normal, ShellCommand::FileOpen, false},
  };
  for (const ModeCase& c : cases) {
    std::string shown;
    for (const auto& argument : c.arguments) shown += fakes::Narrow(argument) + " ";
    SCOPED_TRACE(shown);
    const CommandLineInfo info = ParseCommandLine(c.arguments);
    EXPECT_EQ(ChooseStartMode(info), c.mode);
    EXPECT_EQ(info.shellCommand, c.command);
    EXPECT_EQ(info.programmaticControl, c.programmatic);
  }
}

TEST(CommandLine, PrintToTakesItsThreeArgumentsAndTheFileNameStays) {
  const CommandLineInfo info = ParseCommandLine({u"/pt", u"a.txt", u"printer", u"driver", u"port"});
  EXPECT_EQ(info.fileName, u"a.txt");
  const CommandLineInfo restart = ParseCommandLine({u"/RestartByRestartManager", u"id-42"});
  EXPECT_EQ(restart.restartIdentifier, u"id-42");
  EXPECT_TRUE(restart.fileName.empty());
  EXPECT_EQ(ParseCommandLine({u"-restartbyrestartmanager:XYZ"}).restartIdentifier, u"XYZ");
}

const ServerClass kServer = {
    {0x8E2E391A, 0x2A76, 0x475A, {0xA7, 0x70, 0xA2, 0x31, 0x96, 0x24, 0x0B, 0xBD}},
    u"UlvexDriver_Monitor.Application",
};
const std::u16string kClassKey = u"CLSID\\{8E2E391A-2A76-475A-A770-A23196240BBD}";

TEST(ServerRegistration, GuidIsBracedUpperCase) {
  EXPECT_EQ(FormatGuid(kServer.clsid), u"{8E2E391A-2A76-475A-A770-A23196240BBD}");
  EXPECT_EQ(FormatGuid({0x0000000A, 0x00B0, 0x0C00, {0, 1, 2, 3, 4, 5, 6, 0xF7}}),
            u"{0000000A-00B0-0C00-0001-0203040506F7}");
}

TEST(ServerRegistration, WritesEveryEntryWithTheServerPathQuoted) {
  fakes::FakeRegistry registry;
  RegisterServerClass(kServer);
  EXPECT_EQ(registry.Value(u"UlvexDriver_Monitor.Application"), u"UlvexDriver_Monitor.Application");
  EXPECT_EQ(registry.Value(kClassKey), u"UlvexDriver_Monitor.Application");
  EXPECT_EQ(registry.Value(u"UlvexDriver_Monitor.Application\\CLSID"), u"{8E2E391A-2A76-475A-A770-A23196240BBD}");
  EXPECT_EQ(registry.Value(kClassKey + u"\\ProgID"), u"UlvexDriver_Monitor.Application");
  EXPECT_EQ(registry.Value(kClassKey + u"\\InprocHandler32"), u"ole32.dll");
  EXPECT_EQ(registry.Value(kClassKey + u"\\LocalServer32"),
            u"\"C:\\Program Files\\Ulvex\\UlvexDriver_Monitor.exe\"");
  EXPECT_EQ(registry.values.size(), 6u);
}

TEST(ServerRegistration, NamesAreKeptAndEverythingElseReplaced) {
  fakes::FakeRegistry registry;
  registry.SetDefaultValue(u"UlvexDriver_Monitor.Application", u"kept name");
  registry.SetDefaultValue(kClassKey, u"kept class name");
  registry.SetDefaultValue(u"UlvexDriver_Monitor.Application\\CLSID", u"{old}");
  registry.SetDefaultValue(kClassKey + u"\\ProgID", u"old");
  registry.SetDefaultValue(kClassKey + u"\\InprocHandler32", u"old.dll");
  registry.SetDefaultValue(kClassKey + u"\\LocalServer32", u"C:\\old.exe");
  RegisterServerClass(kServer);
  EXPECT_EQ(registry.Value(u"UlvexDriver_Monitor.Application"), u"kept name");
  EXPECT_EQ(registry.Value(kClassKey), u"kept class name");
  EXPECT_EQ(registry.Value(u"UlvexDriver_Monitor.Application\\CLSID"), u"{8E2E391A-2A76-475A-A770-A23196240BBD}");
  EXPECT_EQ(registry.Value(kClassKey + u"\\ProgID"), u"UlvexDriver_Monitor.Application");
  EXPECT_EQ(registry.Value(kClassKey + u"\\InprocHandler32"), u"ole32.dll");
  EXPECT_EQ(registry.Value(kClassKey + u"\\LocalServer32"), u"\"C:\\Program Files\\Ulvex\\UlvexDriver_Monitor.exe\"");
}

TEST(ServerRegistration, UnregisterRemovesBothTreesAndNothingElse) {
  fakes::FakeRegistry registry;
  registry.SetDefaultValue(u"CLSID\\{00000000-0000-0000-0000-000000000001}", u"someone else");
  registry.SetDefaultValue(u"UlvexDriver_Monitor.ApplicationX", u"a neighbour");
  RegisterServerClass(kServer);
  registry.SetDefaultValue(kClassKey + u"\\Extra\\Deeper", u"under the class");
  UnregisterServerClass(kServer);
  EXPECT_EQ(registry.values.size(), 2u);
  EXPECT_TRUE(registry.Has(u"CLSID\\{00000000-0000-0000-0000-000000000001}"));
  EXPECT_TRUE(registry.Has(u"UlvexDriver_Monitor.ApplicationX"));
}

}  // namespace
