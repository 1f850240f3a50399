#include "record/Session.h"

#include <algorithm>

#include "platform/Constants.h"
#include "platform/trace/CallLines.h"
#include "platform/trace/TraceLine.h"

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

Session::Entry* Session::EventBeingHandled() {
  for (auto& entry : entries_) {
    if (entry.from == From::EventThread && entry.handlers > 0) return &entry;
  }
  return nullptr;
}

void Session::Begin(std::string directive, Keep keep, From from) {
  Lock lock(mutex_);
  Entry entry;
  entry.thread = std::this_thread::get_id();
  entry.directive = std::move(directive);
  entry.keep = keep;
  entry.from = from;
  if (from == From::WindowThread) {
    if (const Entry* outer = EventBeingHandled()) {
      entry.inside = outer;
      entry.insideAfter = outer->calls.size();
    }
  }
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
    const bool insidersDone = std::all_of(entries_.begin(), entries_.end(), [&](const Entry& e) {
      return e.inside != &entry || Complete(e);
    });
    if (!insidersDone) return;
    std::string scenario;
    std::string trace;
    Write(entry, scenario, trace);
    Append(scenario, trace);
    for (auto& [thread, current] : current_) {
      if (current == &entry || (current != nullptr && current->inside == &entry)) current = nullptr;
    }
    entries_.remove_if([&](const Entry& e) { return e.inside == &entry; });
    entries_.pop_front();
  }
}

namespace {

void AddLine(std::string& text, const std::string& content) {
  text += content;
  text += '\n';
}

std::string PauseAfter(std::size_t calls) {
  return " pause=" + trace::Decimal(static_cast<std::int64_t>(calls));
}

}  // namespace

void Session::Write(const Entry& entry, std::string& scenario, std::string& trace) {
  // The window thread's inputs that ran inside this one, and did something.
  std::vector<const Entry*> insiders;
  for (const auto& e : entries_) {
    if (e.inside == &entry) insiders.push_back(&e);
  }
  const auto quiet = [](const Entry& e) {
    return e.calls.empty() && e.runsBefore.empty() && e.keep == Keep::WhenItCalls;
  };
  const auto carry = [&](const Entry& e) {
    carried_.insert(carried_.end(), e.setUp.begin(), e.setUp.end());
  };
  if (quiet(entry)) {
    // Its windows, cursor and the like still describe the world for what follows.
    carry(entry);
    for (const Entry* insider : insiders) carry(*insider);
    return;
  }
  std::erase_if(insiders, [&](const Entry* e) {
    if (!quiet(*e)) return false;
    carry(*e);
    return true;
  });
  const auto own = [&](const Entry& e, const std::string& directive) {
    for (const auto& line : carried_) AddLine(scenario, line);
    carried_.clear();
    for (const auto& line : e.setUp) AddLine(scenario, line);
    for (const auto& line : e.runsBefore) {
      AddLine(scenario, line);
      AddLine(trace, "> " + line);
    }
    AddLine(scenario, directive);
    AddLine(trace, "> " + directive);
  };
  const auto calls = [&](const Entry& e, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to && i < e.calls.size(); ++i) AddLine(trace, e.calls[i]);
  };
  std::size_t done = 0;
  std::string directive = entry.directive;
  if (!insiders.empty()) directive += PauseAfter(insiders.front()->insideAfter);
  own(entry, directive);
  for (std::size_t i = 0; i < insiders.size(); ++i) {
    const std::size_t at = insiders[i]->insideAfter;
    calls(entry, done, at);
    done = at;
    own(*insiders[i], insiders[i]->directive);
    calls(*insiders[i], 0, insiders[i]->calls.size());
    const bool lastOfGroup = i + 1 == insiders.size() || insiders[i + 1]->insideAfter != at;
    if (!lastOfGroup) continue;
    std::string resume = "resume";
    if (i + 1 < insiders.size()) resume += PauseAfter(insiders[i + 1]->insideAfter - at);
    AddLine(scenario, resume);
    AddLine(trace, "> " + resume);
  }
  calls(entry, done, entry.calls.size());
}

void Session::Append(const std::string& scenario, const std::string& trace) {
  if (failed_ || (scenario.empty() && trace.empty())) return;
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
