// Option.exe: a stand-in for the mouse's configuration program, enough of it
// to exercise everything HidHost fixes about that program.
//
//   Option.exe [window] [--log FILE] [--page N]
//       the settings window "RQ4471 Setting Option", open at page N (0
//       Buttons, 1 Pointer, 2 Device, 3 Profiles); logs its start, the host's
//       0x4E6 notices and its close (to FILE, or Option.log beside the
//       executable) and ends with exit code 0 when closed. A second start
//       brings the first window forward and ends with 0.
//   Option.exe get [FIELD...]
//       prints FIELD=VALUE for the named fields of the shared block (all when
//       none is named); ButtonInfoN as its four bytes in memory order
//   Option.exe set FIELD=VALUE... [--notify MSG] [--post]
//       writes the fields into the shared block, then sends MSG (0x4C8..0x4CB)
//       to the host's window, or posts it with --post
//   Option.exe notify MSG [--post]
//
// Exit codes: 0 done, 1 bad arguments, 2 no shared block, 3 no host window.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "OptionWindow.h"
#include "SettingsFields.h"
#include "SharedBlock.h"

namespace hidhost::option {
namespace {

constexpr UINT kSendTimeoutMs = 10000;

enum ExitCode { kDone = 0, kBadArguments = 1, kNoSharedBlock = 2, kNoHost = 3 };

struct Arguments {
  std::string command;
  std::vector<std::string> operands;
  std::string logPath;
  std::string notify;
  int page = 0;
  bool post = false;
};

Arguments Parse(int argc, char** argv) {
  Arguments args;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--log" && i + 1 < argc) {
      args.logPath = argv[++i];
    } else if (arg == "--notify" && i + 1 < argc) {
      args.notify = argv[++i];
    } else if (arg == "--page" && i + 1 < argc) {
      args.page = std::atoi(argv[++i]);
    } else if (arg == "--post") {
      args.post = true;
    } else if (args.command.empty()) {
      args.command = arg;
    } else {
      args.operands.emplace_back(arg);
    }
  }
  return args;
}

std::string LogBesideExecutable() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string text = path;
  const std::size_t slash = text.find_last_of('\\');
  return text.substr(0, slash == std::string::npos ? 0 : slash + 1) + "Option.log";
}

int Complain(ExitCode code, const std::string& why) {
  std::fprintf(stderr, "Option.exe: %s\n", why.c_str());
  return code;
}

int Notify(const std::string& messageText, bool post) {
  char* end = nullptr;
  const unsigned long message = std::strtoul(messageText.c_str(), &end, 0);
  if (end == nullptr || *end != '\0' || message == 0) {
    return Complain(kBadArguments, "not a message number: " + messageText);
  }
  const HWND host = FindWindowA(nullptr, contracts::kHostWindowTitle);
  if (host == nullptr) return Complain(kNoHost, "no window titled QUILL48HidHost");
  if (post) {
    if (!PostMessageA(host, message, 0, 0)) return Complain(kNoHost, "PostMessage failed");
  } else {
    // Sent, so that when this program ends the host has handled the notice.
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(host, message, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &result)) {
      return Complain(kNoHost, "the host did not answer the notice");
    }
  }
  std::printf("notified 0x%lX\n", message);
  return kDone;
}

int Get(const Arguments& args) {
  std::vector<const SettingsField*> fields;
  for (const std::string& name : args.operands) {
    const SettingsField* field = FindSettingsField(name);
    if (field == nullptr) return Complain(kBadArguments, "no field named " + name);
    fields.push_back(field);
  }
  if (fields.empty()) {
    for (const SettingsField& field : AllSettingsFields()) fields.push_back(&field);
  }
  SharedBlock block;
  settings::MouseSettings record{};
  std::string why;
  if (!block.Open(why) || !block.Read(record, why)) return Complain(kNoSharedBlock, why);
  for (const SettingsField* field : fields) {
    std::printf("%.*s=%s\n", static_cast<int>(field->name.size()), field->name.data(),
                FormatField(record, *field).c_str());
  }
  return kDone;
}

int Set(const Arguments& args) {
  struct Change {
    const SettingsField* field;
    std::string value;
  };
  std::vector<Change> changes;
  for (const std::string& operand : args.operands) {
    const std::size_t equals = operand.find('=');
    const SettingsField* field =
        equals == std::string::npos ? nullptr : FindSettingsField(operand.substr(0, equals));
    if (field == nullptr) return Complain(kBadArguments, "expected FIELD=VALUE: " + operand);
    changes.push_back({field, operand.substr(equals + 1)});
  }
  SharedBlock block;
  settings::MouseSettings record{};
  std::string why;
  if (!block.Open(why) || !block.Read(record, why)) return Complain(kNoSharedBlock, why);
  for (const Change& change : changes) {
    if (!StoreField(record, *change.field, change.value)) {
      return Complain(kBadArguments, "bad value for " + std::string(change.field->name));
    }
  }
  if (block.Write(record, why) != SharedBlock::Copy::Done) return Complain(kNoSharedBlock, why);
  // The mutex is free again here: the host takes it while handling the notice.
  return args.notify.empty() ? kDone : Notify(args.notify, args.post);
}

int Run(const Arguments& args) {
  if (args.command.empty() || args.command == "window") {
    return RunOptionWindow(args.logPath.empty() ? LogBesideExecutable() : args.logPath, args.page);
  }
  if (args.command == "get") return Get(args);
  if (args.command == "set") return Set(args);
  if (args.command == "notify" && args.operands.size() == 1) {
    return Notify(args.operands[0], args.post);
  }
  return Complain(kBadArguments, "usage: Option.exe [window|get|set|notify] ...");
}

}  // namespace
}  // namespace hidhost::option

int main(int argc, char** argv) {
  return hidhost::option::Run(hidhost::option::Parse(argc, argv));
}
