// hidhost-driver-emu: stands in for the mouse's kernel driver where none can
// be loaded. HidHost.exe built with HIDHOST_EMULATED_DRIVER reaches it over a
// named pipe; a test (or a person) drives the mouse through its script.
//
//   hidhost-driver-emu.exe [--log FILE] [--refuse] [--qpc] [COMMAND...]
//
// --qpc ends every log line with the performance counter (see EventLog.h).
// Each COMMAND argument is one script line (see Script.h); afterwards the
// script is read from standard input until "quit". At the end of standard
// input the emulator keeps serving until it is ended.
#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>

#include "DriverState.h"
#include "EventLog.h"
#include "PipeServer.h"
#include "Script.h"

namespace {

struct Options {
  std::string logPath;
  bool refuse = false;
  bool stampCounter = false;
  int firstCommand = 1;
};

Options ParseOptions(int argc, char** argv) {
  Options options;
  int i = 1;
  for (; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--log" && i + 1 < argc) {
      options.logPath = argv[++i];
    } else if (arg == "--refuse") {
      options.refuse = true;
    } else if (arg == "--qpc") {
      options.stampCounter = true;
    } else {
      break;
    }
  }
  options.firstCommand = i;
  return options;
}

int RunScript(hidhost::driver_emu::Script& script, int argc, char** argv, int first) {
  using Next = hidhost::driver_emu::Script::Next;
  for (int i = first; i < argc; ++i) {
    if (script.Run(argv[i]) == Next::Quit) return script.Failures();
  }
  char line[512];
  while (std::fgets(line, sizeof line, stdin) != nullptr) {
    if (script.Run(line) == Next::Quit) return script.Failures();
  }
  Sleep(INFINITE);
  return script.Failures();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace hidhost::driver_emu;
  const Options options = ParseOptions(argc, argv);
  EventLog log(options.logPath, options.stampCounter);
  if (!log.IsOpen()) {
    std::fprintf(stderr, "cannot write %s\n", options.logPath.c_str());
    return 2;
  }
  DriverState driver(log);
  driver.SetRefusing(options.refuse);
  PipeServer server(driver, log);
  if (!server.Listen()) return 2;
  if (options.stampCounter) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    log.Write("clock qpc-frequency=" + std::to_string(frequency.QuadPart));
  }
  log.Write("listening");
  std::thread(&PipeServer::AcceptForever, &server).detach();

  Script script(driver, log);
  const int failures = RunScript(script, argc, argv, options.firstCommand);
  log.Write("quit failures=" + std::to_string(failures));
  // The pipe threads still block in the system: end them with the process
  // rather than unwinding objects they use.
  ExitProcess(static_cast<UINT>(failures));
}
