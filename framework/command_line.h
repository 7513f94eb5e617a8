// The command line as the framework reads it: switches start with '-' or '/'
// and are matched without regard to letter case; other arguments are file
// names. Every switch that sets a shell command replaces the one before it.
// Main thread only.
#pragma once

#include <string>
#include <vector>

enum class ShellCommand {
  FileNew = 0,
  FileOpen = 1,
  FilePrint = 2,
  FilePrintTo = 3,
  FileDDE = 4,
  FileDDENoShow = 5,
  AppRegister = 6,
  AppUnregister = 7,
  RestartByRestartManager = 8,
};

struct CommandLineInfo {
  bool runEmbedded = false;
  bool runAutomated = false;
  bool registerPerUser = false;
  // Embedding, Automation and DDE put the application under a program's control.
  bool programmaticControl = false;
  ShellCommand shellCommand = ShellCommand::FileNew;
  std::u16string fileName;
  std::u16string restartIdentifier;
};

// The restart manager starts the program again with this switch and an identifier.
constexpr char16_t kRestartPrefix[] = u"RestartByRestartManager:";

// `arguments` excludes the program's own name.
CommandLineInfo ParseCommandLine(const std::vector<std::u16string>& arguments);

enum class StartMode { Automation, Unregistration, Registration, Normal };
StartMode ChooseStartMode(const CommandLineInfo& info);
