// A session as it is recorded: the host's inputs in the order it handled them,
// each with the world directives a replay needs before it and the trace lines
// of the calls it caused. An input is written, to the scenario and to the
// trace together, as soon as it and every input begun before it are complete.
//
// The window thread may take inputs (timer ticks, messages) while the event
// thread is still inside one of its own. Those are written inside it: the
// event input's directive says after how many of its calls it paused
// (`pause=N`), the window thread's inputs follow, and `resume` carries on
// with the rest of its calls, so the replay runs them in the order they ran.
//
// Safe from any thread: one lock serialises the window thread and the event
// thread, so the inputs come out in the order they were handled. The lock is
// never held across a call into the recorded platform, so the recording
// cannot make the host wait on itself.
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/Types.h"
#include "record/LineSink.h"

namespace hidhost::record {

struct PostedMessage {
  std::uint32_t message = 0;
  platform::WParam wParam = 0;
  platform::LParam lParam = 0;
  bool operator==(const PostedMessage&) const = default;
};

// Which of the host's threads handles an input.
enum class From { WindowThread, EventThread };

// How an input's directive is kept.
enum class Keep {
  Always,
  WhenItCalls,  // dropped when it caused no call: idle timer ticks, stray mouse messages
};

class Session {
 public:
  using Report = std::function<void(const std::string& problem)>;
  Session(LineSink& scenario, LineSink& trace, Report report);

  // The calling thread begins an input. An input of the window thread that
  // begins while the event thread is still handling one runs inside it.
  void Begin(std::string directive, Keep keep, From from);
  // The calling thread is done with its input; it is written once nothing it
  // posted to the host's own window is still to come.
  void EndHandling();
  // A message the calling thread's input sends or posts to the host's window:
  // its delivery is part of that input, as the replay delivers it.
  void ExpectOwnMessage(const PostedMessage& message);
  void ForgetOwnMessage(const PostedMessage& message);  // the send or post failed
  // A message reached the host's window outside any handler: true when it
  // continues an earlier input (its own message, or the tray menu's choice),
  // which then becomes the calling thread's input again.
  bool Continue(const PostedMessage& message);
  // An own message that a handler's modal loop delivered inside the input
  // being handled: nothing waits for it any longer.
  void Delivered(const PostedMessage& message);

  void AddCall(std::string line);
  // The tray menu's line: its choice, if any, arrives later as WM_COMMAND.
  void AddMenu(std::int32_t x, std::int32_t y);
  // A set-up directive the calling thread's input needs before it.
  void AddSetUp(std::string directive);
  // Replaces the input's set-up directive that starts with prefix (or adds it).
  void ReplaceSetUp(const std::string& prefix, std::string directive);
  // True the first time the calling thread's input reads or changes `what`
  // (the cursor, the button swap): only a first read describes the world as
  // the input found it.
  bool FirstTouch(const std::string& what);
  // A run directive that must precede the input and prints nothing itself.
  void AddRunBefore(std::string directive);

  // Window handles as the replay numbers them.
  std::uintptr_t ReplayId(platform::Hwnd real);
  void SetHostWindow(platform::Hwnd real);
  void SetDesktopWindow(platform::Hwnd real);
  // True once for each window that still needs a `window` directive.
  bool ClaimDeclaration(platform::Hwnd real);
  void RememberTitle(platform::Hwnd real, std::string title);
  std::optional<std::string> TitleOf(platform::Hwnd real);

  // The process ends: everything still open is written.
  void Finish(std::int32_t exitCode);
  bool Failed();

 private:
  struct Entry {
    std::thread::id thread;
    std::vector<std::string> setUp;
    std::vector<std::string> runsBefore;
    std::string directive;
    std::vector<std::string> calls;
    std::vector<PostedMessage> expected;
    std::optional<std::size_t> menuLine;
    std::int32_t menuX = 0;
    std::int32_t menuY = 0;
    Keep keep = Keep::Always;
    From from = From::WindowThread;
    std::set<std::string> touched;
    int handlers = 1;  // threads still handling it
    // Set on a window-thread input that ran inside another thread's input,
    // after that many of the other input's calls.
    const Entry* inside = nullptr;
    std::size_t insideAfter = 0;
  };
  using Lock = std::unique_lock<std::mutex>;

  Entry* CurrentOf(std::thread::id thread);
  Entry* Current();  // the calling thread's input, else the latest one still open
  void SetCurrent(Entry* entry);
  void WriteCompleted();
  Entry* EventBeingHandled();
  void Write(const Entry& entry, std::string& scenario, std::string& trace);
  void Append(const std::string& scenario, const std::string& trace);
  void WriteLooseLine(const std::string& line);
  static bool Complete(const Entry& entry) { return entry.handlers == 0 && entry.expected.empty(); }

  LineSink& scenario_;
  LineSink& trace_;
  Report report_;
  std::mutex mutex_;
  std::list<Entry> entries_;  // begun and not yet written, in the order begun
  std::vector<std::pair<std::thread::id, Entry*>> current_;
  std::vector<std::string> carried_;  // set-up of dropped inputs, for the next one written
  std::map<std::uintptr_t, std::uintptr_t> replayIds_;
  std::map<std::uintptr_t, bool> declared_;
  std::map<std::uintptr_t, std::string> titles_;
  std::uintptr_t nextReplayId_;
  bool failed_ = false;
};

}  // namespace hidhost::record
