#include "record/Session.h"

#include <algorithm>

#include "platform/Constants.h"
#include "trace/CallLines.h"
#include "trace/TraceLine.h"

namespace hidhost::record {

namespace {

// The replay's own numbers for the desktop and the host's window.
constexpr std::uintptr_t kReplayDesktop = 0x10000;
constexpr std::uintptr_t kReplayHostWindow = 0x10001;
constexpr std::uintptr_t kBroadcast = 0xFFFF;
// Other windows are numbered from here, clear of the replay's own windows.
constexpr std::uintptr_t kFirstReplayWindow = 0x1000;

}  // namespace

Session::Session(LineSink& scenario, LineSink& trace, Report report)
    : scenario_(scenario),
      trace_(trace),
      report_(std::move(report)),
      nextReplayId_(kFirstReplayWindow) {
  replayIds_[kBroadcast] = kBroadcast;
  declared_[kBroadcast] = true;
}

Session::Entry* Session::CurrentOf(std::thread::id thread) {
  for (auto& [id, entry] : current_) {
    if (id == thread) return entry;
  }
  return nullptr;
}

Session::Entry* Session::Current() {
  if (Entry* own = CurrentOf(std::this_thread::get_id())) return own;
  return entries_.empty() ? nullptr : &entries_.back();
}

void Session::SetCurrent(Entry* entry) {
  const auto thread = std::this_thread::get_id();
  for (auto& [id, current] : current_) {
    if (id == thread) {
      current = entry;
      return;
    }
  }
  current_.emplace_back(thread, entry);
}

void Session::Begin(std::string directive, Keep keep) {
  Lock lock(mutex_);
  Entry entry;
  entry.thread = std::this_thread::get_id();
  entry.directive = std::move(directive);
  entry.keep = keep;
  entries_.push_back(std::move(entry));
  SetCurrent(&entries_.back());
}

void Session::EndHandling() {
  Lock lock(mutex_);
  Entry* entry = CurrentOf(std::this_thread::get_id());
  if (entry == nullptr) return;
  --entry->handlers;
  SetCurrent(nullptr);
  WriteCompleted();
}

void Session::ExpectOwnMessage(const PostedMessage& message) {
  Lock lock(mutex_);
  if (Entry* entry = Current()) entry->expected.push_back(message);
}

void Session::ForgetOwnMessage(const PostedMessage& message) {
  Lock lock(mutex_);
  Entry* entry = Current();
  if (entry == nullptr) return;
  auto found = std::find(entry->expected.begin(), entry->expected.end(), message);
  if (found != entry->expected.end()) entry->expected.erase(found);
  WriteCompleted();
}

bool Session::Continue(const PostedMessage& message) {
  Lock lock(mutex_);
  for (auto& entry : entries_) {
    auto found = std::find(entry.expected.begin(), entry.expected.end(), message);
    if (found == entry.expected.end()) continue;
    entry.expected.erase(found);
    ++entry.handlers;
    SetCurrent(&entry);
    return true;
  }
  if (message.message != platform::kWmCommand) return false;
  for (auto& entry : entries_) {
    if (!entry.menuLine || Complete(entry)) continue;
    // The menu closed with this item chosen: the replay chooses it in advance.
    const auto chosen = static_cast<std::uint32_t>(message.wParam & 0xFFFFu);
    entry.calls[*entry.menuLine] = trace::TrackPopupMenuLine(entry.menuX, entry.menuY, chosen);
    entry.runsBefore.push_back("menu-choose " + trace::Decimal(chosen));
    entry.menuLine.reset();
    ++entry.handlers;
    SetCurrent(&entry);
    return true;
  }
  return false;
}

void Session::Delivered(const PostedMessage& message) {
  Lock lock(mutex_);
  for (auto& entry : entries_) {
    auto found = std::find(entry.expected.begin(), entry.expected.end(), message);
    if (found == entry.expected.end()) continue;
    entry.expected.erase(found);
    return;
  }
}

void Session::AddCall(std::string line) {
  Lock lock(mutex_);
  if (Entry* entry = Current()) {
    entry->calls.push_back(std::move(line));
  } else {
    WriteLooseLine(line);
  }
}

void Session::AddMenu(std::int32_t x, std::int32_t y) {
  Lock lock(mutex_);
  Entry* entry = Current();
  if (entry == nullptr) {
    WriteLooseLine(trace::TrackPopupMenuLine(x, y, 0));
    return;
  }
  entry->menuLine = entry->calls.size();
  entry->menuX = x;
  entry->menuY = y;
  entry->calls.push_back(trace::TrackPopupMenuLine(x, y, 0));
}

void Session::AddSetUp(std::string directive) {
  Lock lock(mutex_);
  if (Entry* entry = Current()) {
    entry->setUp.push_back(std::move(directive));
  } else {
    carried_.push_back(std::move(directive));
  }
}

void Session::ReplaceSetUp(const std::string& prefix, std::string directive) {
  Lock lock(mutex_);
  Entry* entry = Current();
  auto& lines = entry != nullptr ? entry->setUp : carried_;
  for (auto& line : lines) {
    if (line.starts_with(prefix)) {
      line = std::move(directive);
      return;
    }
  }
  lines.push_back(std::move(directive));
}

bool Session::FirstTouch(const std::string& what) {
  Lock lock(mutex_);
  Entry* entry = Current();
  return entry != nullptr && entry->touched.insert(what).second;
}

void Session::AddRunBefore(std::string directive) {
  Lock lock(mutex_);
  if (Entry* entry = Current()) entry->runsBefore.push_back(std::move(directive));
}

std::uintptr_t Session::ReplayId(platform::Hwnd real) {
  const std::uintptr_t value = platform::ValueOf(real);
  if (value == 0) return 0;
  Lock lock(mutex_);
  auto [it, added] = replayIds_.try_emplace(value, nextReplayId_);
  if (added) ++nextReplayId_;
  return it->second;
}

void Session::SetHostWindow(platform::Hwnd real) {
  Lock lock(mutex_);
  replayIds_[platform::ValueOf(real)] = kReplayHostWindow;
  declared_[platform::ValueOf(real)] = true;
}

void Session::SetDesktopWindow(platform::Hwnd real) {
  Lock lock(mutex_);
  replayIds_[platform::ValueOf(real)] = kReplayDesktop;
  declared_[platform::ValueOf(real)] = true;
}

bool Session::ClaimDeclaration(platform::Hwnd real) {
  if (!platform::IsSet(real)) return false;
  Lock lock(mutex_);
  return declared_.try_emplace(platform::ValueOf(real), true).second;
}

void Session::RememberTitle(platform::Hwnd real, std::string title) {
  Lock lock(mutex_);
  titles_[platform::ValueOf(real)] = std::move(title);
}

std::optional<std::string> Session::TitleOf(platform::Hwnd real) {
  Lock lock(mutex_);
  auto found = titles_.find(platform::ValueOf(real));
  if (found == titles_.end()) return std::nullopt;
  return found->second;
}

void Session::Finish(std::int32_t exitCode) {
  Lock lock(mutex_);
  Entry* entry = Current();
  const std::string exit = trace::ExitLine(exitCode);
  if (entry != nullptr) {
    entry->calls.push_back(exit);
  } else {
    WriteLooseLine(exit);
  }
  for (auto& open : entries_) {
    open.handlers = 0;
    open.expected.clear();
  }
  WriteCompleted();
}

bool Session::Failed() {
  Lock lock(mutex_);
  return failed_;
}

void Session::WriteCompleted() {
  while (!entries_.empty() && Complete(entries_.front())) {
    Entry& entry = entries_.front();
    const bool quiet = entry.calls.empty() && entry.runsBefore.empty();
    if (quiet && entry.keep == Keep::WhenItCalls) {
      // Its windows, cursor and the like still describe the world for what follows.
      carried_.insert(carried_.end(), entry.setUp.begin(), entry.setUp.end());
    } else {
      Write(entry);
    }
    for (auto& [thread, current] : current_) {
      if (current == &entry) current = nullptr;
    }
    entries_.pop_front();
  }
}

void Session::Write(const Entry& entry) {
  if (failed_) return;
  std::string scenario;
  std::string trace;
  const auto line = [](std::string& text, const std::string& content) {
    text += content;
    text += '\n';
  };
  for (const auto& directive : carried_) line(scenario, directive);
  carried_.clear();
  for (const auto& directive : entry.setUp) line(scenario, directive);
  for (const auto& directive : entry.runsBefore) {
    line(scenario, directive);
    line(trace, "> " + directive);
  }
  line(scenario, entry.directive);
  line(trace, "> " + entry.directive);
  for (const auto& call : entry.calls) line(trace, call);
  // The scenario first: a trace never runs ahead of the inputs that explain it.
  if (!scenario_.Append(scenario) || !trace_.Append(trace)) {
    failed_ = true;
    report_("the recording could not be written; it ends here");
  }
}

void Session::WriteLooseLine(const std::string& line) {
  if (failed_) return;
  if (!trace_.Append(line + "\n")) {
    failed_ = true;
    report_("the recording could not be written; it ends here");
  }
}

}  // namespace hidhost::record
