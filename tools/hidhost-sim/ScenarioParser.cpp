#include "ScenarioParser.h"

#include <cctype>
#include <charconv>
#include <optional>
#include <set>

#include "platform/sim/Win32Calls.h"

namespace hidhost::simtool {

namespace {

using Error = std::optional<std::string>;

constexpr std::int64_t kU32 = 0xFFFFFFFFll;
constexpr std::int64_t kI32Min = -0x80000000ll;
constexpr std::size_t kSharedDigits = sim::kSharedBlockSize * 2;

struct Context {
  std::set<std::uintptr_t> windows;  // ids declared so far
};

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && IsSpace(text[at])) ++at;
    const std::size_t start = at;
    while (at < text.size() && !IsSpace(text[at])) ++at;
    if (at > start) words.push_back(text.substr(start, at - start));
  }
  return words;
}

// Decimal, with an optional sign, or 0x hexadecimal.
std::optional<std::int64_t> Number(std::string_view text, std::int64_t low, std::int64_t high) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  std::uint64_t magnitude = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (error != std::errc() || end != text.data() + text.size() || magnitude > 0xFFFFFFFFFull) {
    return std::nullopt;
  }
  const std::int64_t value =
      negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
  if (value < low || value > high) return std::nullopt;
  return value;
}

// Exactly `ranges.size()` numbers, or between `required` and that many.
Error Numbers(std::string_view rest, Directive& out, std::size_t required,
              std::initializer_list<std::pair<std::int64_t, std::int64_t>> ranges,
              std::string_view what) {
  const auto words = Words(rest);
  if (words.size() < required || words.size() > ranges.size()) {
    return "expected " + std::string(what);
  }
  auto range = ranges.begin();
  for (const auto word : words) {
    const auto value = Number(word, range->first, range->second);
    if (!value) return "not a number in range: '" + std::string(word) + "'";
    out.numbers.push_back(*value);
    ++range;
  }
  return std::nullopt;
}

Error None(std::string_view rest, Directive&, Context&) {
  if (!Trim(rest).empty()) return "takes no argument";
  return std::nullopt;
}

Error ConfigLine(std::string_view rest, Directive& out, Context&) {
  // "config" and one space; the rest is the line as it goes into the file.
  if (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  while (!rest.empty() && IsSpace(rest.back())) rest.remove_suffix(1);
  out.argument = std::string(rest);
  return std::nullopt;
}

Error RegistryValue(std::string_view rest, Directive& out, Context&) {
  rest = Trim(rest);
  const auto equals = rest.find('=');
  const auto slash = rest.substr(0, equals == std::string_view::npos ? 0 : equals).rfind('\\');
  if (equals == std::string_view::npos || slash == std::string_view::npos || slash == 0) {
    return "expected KEY\\NAME=VALUE";
  }
  out.argument = std::string(rest.substr(0, slash));
  out.name = std::string(rest.substr(slash + 1, equals - slash - 1));
  out.value = std::string(rest.substr(equals + 1));
  return std::nullopt;
}

Error RestOfLine(std::string_view rest, Directive& out, Context&) {
  out.argument = std::string(Trim(rest));
  if (out.argument.empty()) return "expected a name";
  return std::nullopt;
}

// NAME, or NAME denied for a mutex of another security context.
Error Mutex(std::string_view rest, Directive& out, Context& context) {
  constexpr std::string_view kDenied = " denied";
  rest = Trim(rest);
  out.denied = rest.size() > kDenied.size() && rest.ends_with(kDenied);
  if (out.denied) rest.remove_suffix(kDenied.size());
  return RestOfLine(rest, out, context);
}

// Words of a window line; a double-quoted part may hold spaces.
std::optional<std::vector<std::string>> QuotedWords(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false;
  bool any = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
      continue;
    }
    if (!quoted && IsSpace(c)) {
      if (any) words.push_back(std::move(word));
      word.clear();
      any = false;
      continue;
    }
    word += c;
    any = true;
  }
  if (quoted) return std::nullopt;
  if (any) words.push_back(std::move(word));
  return words;
}

Error WindowAttribute(std::string_view key, std::string_view value, Directive& out,
                      const Context& context) {
  sim::WindowSpec& shape = out.window;
  if (key == "class") {
    if (value.empty()) return "class needs a name";
    shape.className = std::string(value);
  } else if (key == "parent") {
    const auto parent = Number(value, 0, kU32);
    if (!parent) return "parent is not a window id";
    shape.parent = *parent == static_cast<std::int64_t>(sim::kDesktopWindow)
                       ? 0
                       : static_cast<std::uintptr_t>(*parent);
    if (shape.parent != 0 && !context.windows.contains(shape.parent)) {
      return "parent " + std::string(value) + " is not a declared window";
    }
  } else if (key == "rect") {
    std::int32_t edges[4];
    std::size_t at = 0;
    for (int i = 0; i < 4; ++i) {
      const auto comma = i < 3 ? value.find(',', at) : value.size();
      if (comma == std::string_view::npos) return "rect needs L,T,R,B";
      const auto edge = Number(value.substr(at, comma - at), kI32Min, 0x7FFFFFFF);
      if (!edge) return "rect needs L,T,R,B";
      edges[i] = static_cast<std::int32_t>(*edge);
      at = comma + 1;
    }
    shape.rect = {edges[0], edges[1], edges[2], edges[3]};
  } else if (key == "style") {
    const auto style = Number(value, 0, kU32);
    if (!style) return "style is not a number";
    shape.style = static_cast<std::uint32_t>(*style);
  } else if (key == "title") {
    shape.title = std::string(value);
  } else {
    return "unknown window attribute '" + std::string(key) + "'";
  }
  return std::nullopt;
}

Error Window(std::string_view rest, Directive& out, Context& context) {
  const auto words = QuotedWords(rest);
  if (!words) return "unterminated quote";
  if (words->empty()) return "expected ID class=NAME";
  const auto id = Number((*words)[0], 1, kU32);
  if (!id) return "not a window id: '" + (*words)[0] + "'";
  out.window.id = static_cast<std::uintptr_t>(*id);
  if (out.window.id == sim::kDesktopWindow || out.window.id == sim::kFirstProcessWindow) {
    return "window id " + (*words)[0] + " is reserved";
  }
  if (context.windows.contains(out.window.id)) {
    return "window " + (*words)[0] + " is already declared";
  }
  std::set<std::string> seen;
  for (std::size_t i = 1; i < words->size(); ++i) {
    const std::string& word = (*words)[i];
    const auto equals = word.find('=');
    if (equals == std::string::npos) return "expected NAME=VALUE, got '" + word + "'";
    const std::string key = word.substr(0, equals);
    if (!seen.insert(key).second) return "window attribute '" + key + "' given twice";
    if (auto error =
            WindowAttribute(key, std::string_view(word).substr(equals + 1), out, context)) {
      return error;
    }
  }
  if (out.window.className.empty()) return "class=NAME is missing";
  context.windows.insert(out.window.id);
  return std::nullopt;
}

Error Cursor(std::string_view rest, Directive& out, Context&) {
  return Numbers(rest, out, 2, {{kI32Min, 0x7FFFFFFF}, {kI32Min, 0x7FFFFFFF}}, "X Y");
}

Error Driver(std::string_view rest, Directive& out, Context&) {
  const std::string_view mode = Trim(rest);
  if (mode == "absent") {
    out.driver = sim::DriverMode::Absent;
  } else if (mode == "present") {
    out.driver = sim::DriverMode::Present;
  } else if (mode == "refuses") {
    out.driver = sim::DriverMode::Refuses;
  } else {
    return "expected absent, present or refuses";
  }
  return std::nullopt;
}

Error Fail(std::string_view rest, Directive& out, Context&) {
  const auto words = Words(rest);
  if (words.empty() || words.size() > 2) return "expected CALL [N]";
  if (!sim::CallNamed(words[0])) {
    return "the simulator cannot fail '" + std::string(words[0]) + "'";
  }
  out.argument = std::string(words[0]);
  if (words.size() == 2) {
    const auto times = Number(words[1], 0, 0x7FFFFFFF);
    if (!times) return "not a count: '" + std::string(words[1]) + "'";
    out.numbers.push_back(*times);
  }
  return std::nullopt;
}

Error SwapButtons(std::string_view rest, Directive& out, Context&) {
  return Numbers(rest, out, 1, {{0, 1}}, "0 or 1");
}

Error Word32(std::string_view rest, Directive& out, Context&) {
  return Numbers(rest, out, 1, {{0, kU32}}, "one number");
}

// pause=N: the input's thread stops before its call after N calls.
Error PauseWord(std::string_view word, Directive& out) {
  constexpr std::string_view kPause = "pause=";
  const auto calls =
      word.starts_with(kPause) ? Number(word.substr(kPause.size()), 0, kU32) : std::nullopt;
  if (!calls) return "expected pause=N, got '" + std::string(word) + "'";
  out.pauseAfter = static_cast<std::uint32_t>(*calls);
  return std::nullopt;
}

Error EventWord(std::string_view rest, Directive& out, Context&) {
  const auto words = Words(rest);
  if (words.empty() || words.size() > 2) return "expected WORD [pause=N]";
  const auto word = Number(words[0], 0, kU32);
  if (!word) return "not a number in range: '" + std::string(words[0]) + "'";
  out.numbers.push_back(*word);
  return words.size() == 2 ? PauseWord(words[1], out) : std::nullopt;
}

Error Resume(std::string_view rest, Directive& out, Context&) {
  const auto words = Words(rest);
  if (words.size() > 1) return "expected [pause=N]";
  return words.empty() ? std::nullopt : PauseWord(words[0], out);
}

Error Slow(std::string_view rest, Directive& out, Context&) {
  const auto words = Words(rest);
  if (words.size() != 2) return "expected CALL MS";
  if (words[0] != "Shell_NotifyIconA") {
    return "the simulator cannot slow '" + std::string(words[0]) + "'";
  }
  const auto ms = Number(words[1], 1, 60000);
  if (!ms) return "not a time from 1 to 60000 ms: '" + std::string(words[1]) + "'";
  out.argument = std::string(words[0]);
  out.numbers.push_back(*ms);
  return std::nullopt;
}

Error Message(std::string_view rest, Directive& out, Context&) {
  return Numbers(rest, out, 1, {{0, kU32}, {0, kU32}, {kI32Min, kU32}}, "MSG [WPARAM [LPARAM]]");
}

Error LParamArgument(std::string_view rest, Directive& out, Context&) {
  return Numbers(rest, out, 1, {{kI32Min, kU32}}, "one number");
}

Error CommandId(std::string_view rest, Directive& out, Context&) {
  return Numbers(rest, out, 1, {{0, 0xFFFF}}, "one command id");
}

Error SharedBytes(std::string_view rest, Directive& out, Context&) {
  const std::string_view digits = Trim(rest);
  if (digits.size() != kSharedDigits) {
    return "expected " + std::to_string(kSharedDigits) + " hexadecimal digits, got " +
           std::to_string(digits.size());
  }
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    std::uint8_t byte = 0;
    const auto [end, error] = std::from_chars(digits.data() + i, digits.data() + i + 2, byte, 16);
    if (error != std::errc() || end != digits.data() + i + 2) {
      return "not a hexadecimal digit at position " + std::to_string(i + 1);
    }
    out.bytes.push_back(byte);
  }
  return std::nullopt;
}

struct DirectiveRow {
  std::string_view name;
  DirectiveKind kind;
  bool isRun;
  Error (*parse)(std::string_view rest, Directive& out, Context& context);
};

constexpr DirectiveRow kDirectives[] = {
    {"config", DirectiveKind::Config, false, ConfigLine},
    {"registry", DirectiveKind::Registry, false, RegistryValue},
    {"registry-locked", DirectiveKind::RegistryLocked, false, RestOfLine},
    {"window", DirectiveKind::Window, false, Window},
    {"cursor", DirectiveKind::Cursor, false, Cursor},
    {"driver", DirectiveKind::Driver, false, Driver},
    {"mutex", DirectiveKind::Mutex, false, Mutex},
    {"fail", DirectiveKind::Fail, false, Fail},
    {"swap-buttons", DirectiveKind::SwapButtons, false, SwapButtons},
    {"slow", DirectiveKind::Slow, false, Slow},
    {"start", DirectiveKind::Start, true, None},
    {"second-instance", DirectiveKind::SecondInstance, true, None},
    {"event", DirectiveKind::Event, true, EventWord},
    {"message", DirectiveKind::Message, true, Message},
    {"timer", DirectiveKind::Timer, true, Word32},
    {"tray", DirectiveKind::Tray, true, LParamArgument},
    {"command", DirectiveKind::Command, true, CommandId},
    {"menu-choose", DirectiveKind::MenuChoose, true, CommandId},
    {"session", DirectiveKind::Session, true, Word32},
    {"devicechange", DirectiveKind::DeviceChange, true, None},
    {"shared", DirectiveKind::Shared, true, SharedBytes},
    {"dump-shared", DirectiveKind::DumpShared, true, None},
    {"dump-config", DirectiveKind::DumpConfig, true, None},
    {"close", DirectiveKind::Close, true, None},
    {"resume", DirectiveKind::Resume, true, Resume},
};

// While an event's thread stands paused, only the window thread's inputs
// can come: another event, a start or the end would wait on it for ever.
Error PauseOrder(const Directive& directive, bool& paused) {
  const auto kind = directive.kind;
  if (kind == DirectiveKind::Resume) {
    if (!paused) return "nothing is paused";
    paused = directive.pauseAfter.has_value();
    return std::nullopt;
  }
  const bool waitsOnEvents = kind == DirectiveKind::Event || kind == DirectiveKind::Start ||
                             kind == DirectiveKind::SecondInstance || kind == DirectiveKind::Close;
  if (paused && waitsOnEvents) return "an event is paused: resume it first";
  if (kind == DirectiveKind::Event && directive.pauseAfter) paused = true;
  return std::nullopt;
}

const DirectiveRow* RowNamed(std::string_view name) {
  for (const auto& row : kDirectives) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

}  // namespace

std::string_view WithoutComment(std::string_view line) {
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == '#' && !quoted && (i == 0 || IsSpace(line[i - 1]))) return line.substr(0, i);
  }
  return line;
}

std::variant<std::vector<Directive>, ParseError> ParseScenario(std::string_view text) {
  std::vector<Directive> directives;
  Context context;
  bool paused = false;
  int number = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t newline = text.find('\n', at);
    const std::size_t end = newline == std::string_view::npos ? text.size() : newline;
    const std::string_view line = WithoutComment(text.substr(at, end - at));
    at = end + 1;
    ++number;

    const std::string_view trimmed = Trim(line);
    if (trimmed.empty()) continue;
    const std::size_t nameEnd = trimmed.find_first_of(" \t");
    const std::string_view name = trimmed.substr(0, nameEnd);
    const DirectiveRow* row = RowNamed(name);
    if (row == nullptr) return ParseError{number, "unknown directive '" + std::string(name) + "'"};

    Directive directive;
    directive.kind = row->kind;
    directive.line = number;
    directive.isRun = row->isRun;
    directive.text = std::string(trimmed);
    // The arguments keep their spacing: a config line goes into the file as written.
    const std::size_t nameAt = static_cast<std::size_t>(trimmed.data() - line.data());
    const std::string_view rest = line.substr(nameAt + name.size());
    if (auto error = row->parse(rest, directive, context)) {
      return ParseError{number, std::string(name) + ": " + *error};
    }
    if (auto error = PauseOrder(directive, paused)) {
      return ParseError{number, std::string(name) + ": " + *error};
    }
    directives.push_back(std::move(directive));
  }
  if (paused) return ParseError{number, "the scenario ends with an event paused"};
  return directives;
}

}  // namespace hidhost::simtool
