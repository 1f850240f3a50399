#include <algorithm>

#include "platform/Constants.h"
#include "record/RecordingFacets.h"
#include "platform/trace/CallLines.h"
#include "platform/trace/TraceLine.h"

namespace hidhost::record {

namespace {

using platform::Hwnd;
using platform::LParam;
using platform::LResult;
using platform::WParam;

constexpr std::uint32_t kWsChild = 0x40000000u;
constexpr std::uintptr_t kBroadcast = 0xFFFF;

// Messages whose lParam is a window handle: the scroll bar that scrolls.
constexpr std::uint32_t kMessagesNamingAWindow[] = {platform::kWmHScroll, 0x0115 /* WM_VSCROLL */};

bool LParamIsAWindow(std::uint32_t message) {
  return std::find(std::begin(kMessagesNamingAWindow), std::end(kMessagesNamingAWindow), message) !=
         std::end(kMessagesNamingAWindow);
}

// A name or title as a window directive can hold it: quoted, without quotes.
std::string QuotedText(std::string_view text) {
  std::string clean;
  for (char c : text) {
    if (c != '"' && c != '\n' && c != '\r') clean += c;
  }
  return trace::Quoted(clean);
}

struct EnumHop {
  RecordingWindows::EnumCallback callback;
  void* context;
  void (*see)(void* windows, Hwnd child);
  void* windows;
};

bool SeeThenCall(Hwnd child, void* context) {
  auto& hop = *static_cast<EnumHop*>(context);
  hop.see(hop.windows, child);
  return hop.callback(child, hop.context);
}

}  // namespace

// The host's procedure, with each message it receives seen first by the recording.
class RecordingWindows::Procedure final : public platform::WindowProcedure {
 public:
  Procedure(RecordingWindows& windows, platform::WindowProcedure& inner)
      : windows_(windows), inner_(inner) {}
  LResult OnMessage(Hwnd hwnd, std::uint32_t message, WParam wParam, LParam lParam) override {
    return windows_.Deliver(inner_, hwnd, message, wParam, lParam);
  }

 private:
  RecordingWindows& windows_;
  platform::WindowProcedure& inner_;
};

RecordingWindows::RecordingWindows(platform::Windows& inner, RecordingContext& context)
    : ForwardingWindows(inner), context_(context) {
  context_.session.SetDesktopWindow(inner_.GetDesktopWindow());
}

RecordingWindows::~RecordingWindows() {
  for (Procedure* procedure : procedures_) delete procedure;
}

std::uintptr_t RecordingWindows::Id(Hwnd hwnd) {
  return context_.session.ReplayId(hwnd);
}

bool RecordingWindows::IsHostWindow(Hwnd hwnd) const {
  return platform::IsSet(hwnd) && hwnd == hostWindow_.load();
}

void RecordingWindows::See(Hwnd hwnd) {
  if (!platform::IsSet(hwnd) || platform::ValueOf(hwnd) == kBroadcast) return;
  if (!context_.session.ClaimDeclaration(hwnd)) return;
  const auto style = static_cast<std::uint32_t>(inner_.GetWindowLong(hwnd, platform::kGwlStyle));
  // GetParent gives a top-level pop-up's owner, which is no parent in the replay.
  const bool ownedPopup = (style & kWsChild) == 0 && (style & platform::kWsPopup) != 0;
  const Hwnd parent = ownedPopup ? Hwnd::None : inner_.GetParent(hwnd);
  See(parent);
  platform::ClassName className;
  if (!inner_.GetClassName(hwnd, className) || className.View().empty()) {
    className.Assign("?");
  }
  platform::Rect rect;
  inner_.GetWindowRect(hwnd, rect);
  std::string line = "window " + trace::Hex(Id(hwnd)) + " class=" + QuotedText(className.View());
  if (platform::IsSet(parent)) line += " parent=" + trace::Hex(Id(parent));
  line += " rect=" + trace::Decimal(rect.left) + "," + trace::Decimal(rect.top) + "," +
          trace::Decimal(rect.right) + "," + trace::Decimal(rect.bottom);
  line += " style=" + trace::Hex(style);
  if (auto title = context_.session.TitleOf(hwnd)) line += " title=" + QuotedText(*title);
  context_.session.AddSetUp(std::move(line));
}

Hwnd RecordingWindows::CreateFrameworkWindow(const platform::WindowAttributes& attributes,
                                             platform::WindowProcedure& procedure) {
  auto* recorded = new Procedure(*this, procedure);
  procedures_.push_back(recorded);
  const Hwnd hwnd = inner_.CreateFrameworkWindow(attributes, *recorded);
  if (platform::IsSet(hwnd) && !platform::IsSet(hostWindow_.load())) {
    hostWindow_ = hwnd;
    context_.session.SetHostWindow(hwnd);
  }
  return hwnd;
}

void RecordingWindows::StartUpDone() {
  if (looping_) return;
  looping_ = true;
  NoteSharedBlock();
  context_.session.EndHandling();
}

std::int32_t RecordingWindows::RunMessageLoop() {
  StartUpDone();
  return inner_.RunMessageLoop();
}

std::uint32_t RecordingWindows::RegisterWindowMessage(std::string_view name) {
  const std::uint32_t number = inner_.RegisterWindowMessage(name);
  context_.Registered(name, number);
  return number;
}

Hwnd RecordingWindows::FindWindowByTitle(std::string_view title) {
  const Hwnd found = inner_.FindWindowByTitle(title);
  if (platform::IsSet(found)) {
    context_.session.RememberTitle(found, std::string(title));
    See(found);
  }
  return found;
}

bool RecordingWindows::PostMessage(Hwnd hwnd, std::uint32_t message, WParam wParam, LParam lParam) {
  See(hwnd);
  context_.session.AddCall(trace::PostMessageLine(Id(hwnd), context_.ReplayMessage(message), wParam,
                                                  ReplayLParam(message, lParam)));
  const PostedMessage own{message, wParam, lParam};
  const bool toHost = IsHostWindow(hwnd);
  if (toHost) context_.session.ExpectOwnMessage(own);
  const bool posted = inner_.PostMessage(hwnd, message, wParam, lParam);
  if (toHost && !posted) context_.session.ForgetOwnMessage(own);
  return posted;
}

LResult RecordingWindows::SendMessage(Hwnd hwnd, std::uint32_t message, WParam wParam,
                                      LParam lParam) {
  See(hwnd);
  context_.session.AddCall(trace::SendMessageLine(Id(hwnd), context_.ReplayMessage(message), wParam,
                                                  ReplayLParam(message, lParam)));
  // From another thread, the window thread handles it on this input's behalf.
  const PostedMessage own{message, wParam, lParam};
  const bool across = IsHostWindow(hwnd) && !context_.OnWindowThread();
  if (across) context_.session.ExpectOwnMessage(own);
  const LResult result = inner_.SendMessage(hwnd, message, wParam, lParam);
  if (across) context_.session.ForgetOwnMessage(own);
  return result;
}

Hwnd RecordingWindows::WindowFromPoint(platform::Point screen) {
  const Hwnd found = inner_.WindowFromPoint(screen);
  See(found);
  return found;
}

Hwnd RecordingWindows::ChildWindowFromPoint(Hwnd parent, platform::Point client) {
  See(parent);
  const Hwnd found = inner_.ChildWindowFromPoint(parent, client);
  See(found);
  return found;
}

bool RecordingWindows::GetClassName(Hwnd hwnd, platform::ClassName& out) {
  See(hwnd);
  return inner_.GetClassName(hwnd, out);
}

Hwnd RecordingWindows::GetParent(Hwnd hwnd) {
  See(hwnd);
  const Hwnd parent = inner_.GetParent(hwnd);
  See(parent);
  return parent;
}

Hwnd RecordingWindows::GetWindow(Hwnd hwnd, std::uint32_t relation) {
  See(hwnd);
  const Hwnd found = inner_.GetWindow(hwnd, relation);
  See(found);
  return found;
}

std::int32_t RecordingWindows::GetWindowLong(Hwnd hwnd, std::int32_t index) {
  See(hwnd);
  return inner_.GetWindowLong(hwnd, index);
}

std::int32_t RecordingWindows::SetWindowLong(Hwnd hwnd, std::int32_t index, std::int32_t value) {
  See(hwnd);
  return inner_.SetWindowLong(hwnd, index, value);
}

bool RecordingWindows::GetWindowRect(Hwnd hwnd, platform::Rect& out) {
  See(hwnd);
  return inner_.GetWindowRect(hwnd, out);
}

bool RecordingWindows::ScreenToClient(Hwnd hwnd, platform::Point& point) {
  See(hwnd);
  return inner_.ScreenToClient(hwnd, point);
}

bool RecordingWindows::EnumChildWindows(Hwnd parent, EnumCallback callback, void* context) {
  See(parent);
  EnumHop hop{
      callback, context,
      [](void* windows, Hwnd child) { static_cast<RecordingWindows*>(windows)->See(child); }, this};
  return inner_.EnumChildWindows(parent, SeeThenCall, &hop);
}

bool RecordingWindows::IsIconic(Hwnd hwnd) {
  See(hwnd);
  return inner_.IsIconic(hwnd);
}

bool RecordingWindows::ShowWindow(Hwnd hwnd, std::int32_t command) {
  See(hwnd);
  context_.session.AddCall(trace::ShowWindowLine(Id(hwnd), command));
  return inner_.ShowWindow(hwnd, command);
}

bool RecordingWindows::SetForegroundWindow(Hwnd hwnd) {
  See(hwnd);
  context_.session.AddCall(trace::SetForegroundWindowLine(Id(hwnd)));
  return inner_.SetForegroundWindow(hwnd);
}

Hwnd RecordingWindows::SetActiveWindow(Hwnd hwnd) {
  See(hwnd);
  context_.session.AddCall(trace::SetActiveWindowLine(Id(hwnd)));
  const Hwnd previous = inner_.SetActiveWindow(hwnd);
  See(previous);
  return previous;
}

Hwnd RecordingWindows::GetLastActivePopup(Hwnd hwnd) {
  See(hwnd);
  const Hwnd popup = inner_.GetLastActivePopup(hwnd);
  See(popup);
  return popup;
}

LParam RecordingWindows::ReplayLParam(std::uint32_t message, LParam lParam) {
  if (!LParamIsAWindow(message) || lParam == 0) return lParam;
  const auto window = static_cast<Hwnd>(static_cast<std::uintptr_t>(lParam));
  See(window);
  return static_cast<LParam>(Id(window));
}

std::string RecordingWindows::DirectiveOf(std::uint32_t message, WParam wParam, LParam lParam,
                                          Keep& keep) {
  keep = Keep::Always;
  const auto& host = context_.messages;
  switch (message) {
    case platform::kWmClose:
      return "close";
    case platform::kWmDeviceChange:
      return "devicechange";
    case platform::kWmWtsSessionChange:
      return "session " + trace::Decimal(static_cast<std::int64_t>(wParam));
    case platform::kWmCommand:
      return "command " + trace::Decimal(static_cast<std::int64_t>(wParam & 0xFFFFu));
    case platform::kWmTimer:
      keep = Keep::WhenItCalls;
      return "timer " + trace::Decimal(static_cast<std::int64_t>(wParam));
    default:
      break;
  }
  if (message == host.trayCallback && wParam == host.trayIconId) {
    keep = Keep::WhenItCalls;  // the pointer passing over the icon
    return "tray " + trace::HexArgument(static_cast<std::uint64_t>(lParam));
  }
  const bool update = std::find(host.sharedUpdates.begin(), host.sharedUpdates.end(), message) !=
                      host.sharedUpdates.end();
  // The system's own traffic to any window matters only when the host acts on it.
  if (!update) keep = Keep::WhenItCalls;
  return "message " + trace::Hex(context_.ReplayMessage(message)) + " " +
         trace::HexArgument(wParam) + " " + trace::HexArgument(static_cast<std::uint64_t>(lParam));
}

void RecordingWindows::NoteSharedBlock() {
  sharedSeen_ = context_.SharedBytes();
}

LResult RecordingWindows::Deliver(platform::WindowProcedure& procedure, Hwnd hwnd,
                                  std::uint32_t message, WParam wParam, LParam lParam) {
  if (!platform::IsSet(hostWindow_.load())) {
    hostWindow_ = hwnd;  // WM_CREATE and its like arrive before CreateWindowEx returns
    context_.session.SetHostWindow(hwnd);
  }
  if (!looping_ || depth_ > 0) {
    if (looping_) context_.session.Delivered({message, wParam, lParam});
    ++depth_;
    const LResult result = procedure.OnMessage(hwnd, message, wParam, lParam);
    --depth_;
    return result;
  }
  if (!context_.session.Continue({message, wParam, lParam})) {
    Keep keep = Keep::Always;
    std::string directive = DirectiveOf(message, wParam, lParam, keep);
    context_.session.Begin(std::move(directive), keep, From::WindowThread);
    const auto& updates = context_.messages.sharedUpdates;
    if (std::find(updates.begin(), updates.end(), message) != updates.end()) {
      // The configuration program wrote the block before it sent this.
      const std::vector<std::uint8_t> block = context_.SharedBytes();
      if (!block.empty() && block != sharedSeen_) {
        context_.session.AddRunBefore("shared " + trace::HexBytes(block.data(), block.size()));
      }
    }
  }
  ++depth_;
  const LResult result = procedure.OnMessage(hwnd, message, wParam, lParam);
  --depth_;
  NoteSharedBlock();
  context_.session.EndHandling();
  return result;
}

}  // namespace hidhost::record
