// HidHost.exe: the host on the real system. No console.
//
//   HidHost.exe                    # the host
//   HidHost.exe --record FOLDER    # the host, recording the session into FOLDER
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "app/HostApp.h"
#include "common/RecordedMessages.h"
#include "framework/Application.h"
#include "platform/UniqueResource.h"
#include "platform/win32/CrashFilter.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Platform.h"
#include "record/Recorder.h"

namespace {

constexpr std::string_view kRecordSwitch = "--record";

// The folder after --record, quoted or not; nullopt without the switch.
std::optional<std::string> RecordFolder(std::string_view commandLine) {
  const auto skipBlanks = [&] {
    while (!commandLine.empty() && (commandLine.front() == ' ' || commandLine.front() == '\t')) {
      commandLine.remove_prefix(1);
    }
  };
  skipBlanks();
  if (!commandLine.starts_with(kRecordSwitch)) return std::nullopt;
  commandLine.remove_prefix(kRecordSwitch.size());
  skipBlanks();
  std::string_view folder = commandLine;
  if (folder.starts_with('"')) {
    folder.remove_prefix(1);
    folder = folder.substr(0, folder.find('"'));
  } else {
    folder = folder.substr(0, folder.find_first_of(" \t"));
  }
  while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) {
    folder.remove_suffix(1);
  }
  return std::string(folder);
}

struct CFileTraits {
  using Value = std::FILE*;
  using Owner = hidhost::platform::NoOwner;
  static constexpr Value Empty() { return nullptr; }
  static void Close(Owner&, Value file) { std::fclose(file); }
};

// config.ini beside the executable, as it stands before the host touches it.
// Read with the C library rather than iostreams: a stream would link the whole
// of the locale machinery into the host, most of its size.
std::optional<std::string> ConfigAtStart(hidhost::platform::Platform& platform) {
  const std::string executable = platform.profile.GetModuleFileName();
  const auto slash = executable.find_last_of('\\');
  if (slash == std::string::npos) return std::nullopt;
  const std::string path = executable.substr(0, slash + 1) + "config.ini";
  const hidhost::platform::UniqueResource<CFileTraits> in(std::fopen(path.c_str(), "rb"));
  if (!in) return std::nullopt;
  std::string text;
  char chunk[4096];
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, in.Get())) > 0;) {
    text.append(chunk, got);
  }
  return text;
}

// A background program has no one to show a message box to: the debugger
// output and standard error (when there is one) carry it.
void Report(const std::string& problem) {
  const std::string line = "HidHost: " + problem + "\n";
  ::OutputDebugStringA(line.c_str());
  std::fputs(line.c_str(), stderr);
}

// A crash lets go through the system's own calls: a recorder in between
// takes a lock that the crashed thread may hold.
class LetGoOnCrash final : public hidhost::platform::win32::CrashResponse {
 public:
  LetGoOnCrash(hidhost::app::HostApp& app, hidhost::platform::Platform& direct)
      : app_(app), direct_(direct) {}
  void LetGo() noexcept override { app_.LetGoAfterCrash(direct_); }

 private:
  hidhost::app::HostApp& app_;
  hidhost::platform::Platform& direct_;
};

int RunHost(hidhost::platform::Platform& platform, hidhost::platform::Platform& direct) {
  hidhost::app::HostApp app(platform);
  LetGoOnCrash response(app, direct);
  const hidhost::platform::win32::CrashFilter filter(response);
  return hidhost::framework::RunApplication(app, platform.windows);
}

}  // namespace

// The tear-down has run when RunHost returns. An event thread that did not
// leave in time may still use the platform (and the recorder over it), so
// neither is destroyed: the process ends at once, and the thread with it.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  hidhost::platform::win32::Win32Platform platform;
  const auto folder = RecordFolder(commandLine != nullptr ? commandLine : "");
  if (!folder) std::exit(RunHost(platform, platform));

  hidhost::record::Recorder recorder(
      platform, {*folder, ConfigAtStart(platform), hidhost::RecordedHostMessages(), Report});
  const int exitCode = RunHost(recorder.Platform(), platform);
  recorder.Finish(exitCode);
  std::exit(exitCode);  // flushes and closes the recording's files
}
