#include "framework/command_line.h"

namespace {

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c; }

bool SameIgnoringCase(const std::u16string& a, const char16_t* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return i == a.size() && !b[i];
}

bool StartsWithIgnoringCase(const std::u16string& text, const char16_t* prefix) {
  const std::size_t length = std::char_traits<char16_t>::length(prefix);
  return text.size() >= length && SameIgnoringCase(text.substr(0, length), prefix);
}

bool IsAnyOf(const std::u16string& name, std::initializer_list<const char16_t*> names) {
  for (const char16_t* candidate : names)
    if (SameIgnoringCase(name, candidate)) return true;
  return false;
}

// Arguments that a switch consumes after itself.
struct Pending {
  int printToArguments = 0;
  bool restartIdentifier = false;
};

void ApplySwitch(const std::u16string& name, CommandLineInfo& info, Pending& pending) {
  if (IsAnyOf(name, {u"Embedding"})) {
    info.runEmbedded = true;
    info.programmaticControl = true;
  } else if (IsAnyOf(name, {u"Automation"})) {
    info.runAutomated = true;
    info.programmaticControl = true;
  } else if (IsAnyOf(name, {u"Register", u"Regserver"})) {
    info.shellCommand = ShellCommand::AppRegister;
  } else if (IsAnyOf(name, {u"RegisterPerUser", u"RegserverPerUser"})) {
    info.shellCommand = ShellCommand::AppRegister;
    info.registerPerUser = true;
  } else if (IsAnyOf(name, {u"Unregister", u"Unregserver"})) {
    info.shellCommand = ShellCommand::AppUnregister;
  } else if (IsAnyOf(name, {u"UnregisterPerUser", u"UnregserverPerUser"})) {
    info.shellCommand = ShellCommand::AppUnregister;
    info.registerPerUser = true;
  } else if (IsAnyOf(name, {u"p"})) {
    info.shellCommand = ShellCommand::FilePrint;
  } else if (IsAnyOf(name, {u"pt"})) {
    info.shellCommand = ShellCommand::FilePrintTo;
    pending.printToArguments = 3;
  } else if (IsAnyOf(name, {u"dde"})) {
    info.shellCommand = ShellCommand::FileDDE;
    info.programmaticControl = true;
  } else if (IsAnyOf(name, {u"RestartByRestartManager"})) {
    info.shellCommand = ShellCommand::RestartByRestartManager;
    pending.restartIdentifier = true;
  } else if (StartsWithIgnoringCase(name, kRestartPrefix)) {
    info.shellCommand = ShellCommand::RestartByRestartManager;
    info.restartIdentifier = name.substr(std::char_traits<char16_t>::length(kRestartPrefix));
  }
}

}  // namespace

CommandLineInfo ParseCommandLine(const std::vector<std::u16string>& arguments) {
  CommandLineInfo info;
  Pending pending;
  for (const std::u16string& argument : arguments) {
    const bool isSwitch = !argument.empty() && (argument[0] == u'-' || argument[0] == u'/');
    if (isSwitch) {
      pending = Pending{};
      ApplySwitch(argument.substr(1), info, pending);
    } else if (pending.restartIdentifier) {
      info.restartIdentifier = argument;
      pending.restartIdentifier = false;
    } else if (info.fileName.empty()) {
      info.fileName = argument;
      if (info.shellCommand == ShellCommand::FileNew) info.shellCommand = ShellCommand::FileOpen;
    } else if (pending.printToArguments > 0) {
      --pending.printToArguments;  // printer, driver and port after the file name
    }
  }
  return info;
}

StartMode ChooseStartMode(const CommandLineInfo& info) {
  if (info.runEmbedded || info.runAutomated) return StartMode::Automation;
  if (info.shellCommand == ShellCommand::AppUnregister) return StartMode::Unregistration;
  if (info.shellCommand == ShellCommand::AppRegister) return StartMode::Registration;
  return StartMode::Normal;
}
