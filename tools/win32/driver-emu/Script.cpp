#include "Script.h"

#include <array>
#include <charconv>
#include <optional>
#include <string>
#include <vector>

namespace hidhost::driver_emu {
namespace {

constexpr Milliseconds kDefaultWait{10000};
constexpr std::uint32_t kDeviceArrived = 4u << 8;
constexpr std::uint32_t kDeviceRemoved = 8u << 8;
constexpr std::uint32_t kTiltLeft = 0xFFu << 16;
constexpr std::uint32_t kTiltRight = 0x01u << 16;

std::vector<std::string_view> Split(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (at < line.size()) {
    const std::size_t start = line.find_first_not_of(" \t\r\n", at);
    if (start == std::string_view::npos) break;
    const std::size_t end = line.find_first_of(" \t\r\n", start);
    words.push_back(line.substr(start, end == std::string_view::npos ? end : end - start));
    at = end == std::string_view::npos ? line.size() : end;
  }
  return words;
}

std::optional<std::uint32_t> Number(std::string_view text, int base) {
  if (base == 16 && (text.starts_with("0x") || text.starts_with("0X"))) text.remove_prefix(2);
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
    return std::nullopt;
  }
  return value;
}

Milliseconds WaitArgument(const std::vector<std::string_view>& words, std::size_t index) {
  if (words.size() <= index) return kDefaultWait;
  const auto ms = Number(words[index], 10);
  return ms ? Milliseconds(*ms) : kDefaultWait;
}

// The mask as the runner writes it: four bytes in memory order, "E0FF0000".
std::optional<std::uint32_t> MaskFromBytes(std::string_view text) {
  if (text.size() != 8) return std::nullopt;
  std::uint32_t mask = 0;
  for (int i = 0; i < 4; ++i) {
    const auto byte = Number(text.substr(static_cast<std::size_t>(i) * 2, 2), 16);
    if (!byte) return std::nullopt;
    mask |= *byte << (8 * i);
  }
  return mask;
}

std::optional<std::uint8_t> ButtonBit(std::string_view text) {
  const auto number = Number(text, 10);
  if (!number || *number < 1 || *number > 8) return std::nullopt;
  return static_cast<std::uint8_t>(1u << (*number - 1));
}

}  // namespace

struct ScriptCommands {
  using Words = std::vector<std::string_view>;
  using Handler = void (*)(Script&, const Words&);
  struct Command {
    std::string_view name;
    std::size_t minArguments;
    Handler run;
  };

  static void Word(Script& s, const Words& w) {
    const auto word = Number(w[1], 16);
    if (!word) return s.Fail("word: not a hex value");
    s.buttons_ = static_cast<std::uint8_t>(*word & 0xFF);
    s.driver_.QueueWord(*word);
  }
  static void Press(Script& s, const Words& w) {
    const auto bit = ButtonBit(w[1]);
    if (!bit) return s.Fail("press: button 1..8 expected");
    s.buttons_ |= *bit;
    s.QueueWithButtons(0);
  }
  static void Release(Script& s, const Words& w) {
    const auto bit = ButtonBit(w[1]);
    if (!bit) return s.Fail("release: button 1..8 expected");
    s.buttons_ &= static_cast<std::uint8_t>(~*bit);
    s.QueueWithButtons(0);
  }
  static void Tilt(Script& s, const Words& w) {
    if (w[1] == "left") return s.QueueWithButtons(kTiltLeft);
    if (w[1] == "right") return s.QueueWithButtons(kTiltRight);
    s.Fail("tilt: left or right expected");
  }
  static void Arrive(Script& s, const Words&) { s.QueueWithButtons(kDeviceArrived); }
  static void Remove(Script& s, const Words&) { s.QueueWithButtons(kDeviceRemoved); }
  static void Refuse(Script& s, const Words& w) {
    if (w[1] != "on" && w[1] != "off") return s.Fail("refuse: on or off expected");
    s.driver_.SetRefusing(w[1] == "on");
    s.log_.Write(std::string("refuse ") + std::string(w[1]));
  }
  static void Mask(Script& s, const Words&) {
    const auto mask = s.driver_.LastMask();
    s.log_.Write("last-mask " + (mask ? BytesInMemoryOrder(*mask) : std::string("none")));
  }
  static void WaitRegistered(Script& s, const Words& w) {
    const auto count = w.size() > 1 ? Number(w[1], 10) : std::optional<std::uint32_t>(1);
    if (!count) return s.Fail("wait-registered: count expected");
    if (!s.driver_.WaitRegistrations(static_cast<int>(*count), WaitArgument(w, 2))) {
      return s.Fail("wait-registered: timed out at " + std::to_string(s.driver_.Registrations()) +
                    " registrations");
    }
    s.log_.Write("wait-registered ok");
  }
  static void WaitMask(Script& s, const Words& w) {
    const auto mask = MaskFromBytes(w[1]);
    if (!mask) return s.Fail("wait-mask: eight hex digits expected");
    if (!s.driver_.WaitMask(*mask, WaitArgument(w, 2))) {
      const auto last = s.driver_.LastMask();
      return s.Fail("wait-mask: timed out, last mask " +
                    (last ? BytesInMemoryOrder(*last) : std::string("none")));
    }
    s.log_.Write("wait-mask ok");
  }
  static void WaitDrained(Script& s, const Words& w) {
    if (!s.driver_.WaitDrained(WaitArgument(w, 1))) return s.Fail("wait-drained: timed out");
    s.log_.Write("wait-drained ok");
  }
  static void Sync(Script& s, const Words& w) {
    s.QueueWithButtons(0);
    if (!s.driver_.WaitDrained(WaitArgument(w, 1))) return s.Fail("sync: timed out");
    s.log_.Write("sync ok");
  }
  static void SleepFor(Script& s, const Words& w) {
    const auto ms = Number(w[1], 10);
    if (!ms) return s.Fail("sleep: milliseconds expected");
    Sleep(*ms);
  }
  static void Echo(Script& s, const Words& w) {
    std::string text = "echo";
    for (std::size_t i = 1; i < w.size(); ++i) text.append(" ").append(w[i]);
    s.log_.Write(text);
  }

  static constexpr std::array<Command, 15> kTable{{
      {"word", 1, Word},
      {"press", 1, Press},
      {"release", 1, Release},
      {"tilt", 1, Tilt},
      {"arrive", 0, Arrive},
      {"remove", 0, Remove},
      {"refuse", 1, Refuse},
      {"mask", 0, Mask},
      {"wait-registered", 0, WaitRegistered},
      {"wait-mask", 1, WaitMask},
      {"wait-drained", 0, WaitDrained},
      {"sync", 0, Sync},
      {"sleep", 1, SleepFor},
      {"echo", 0, Echo},
      {"quit", 0, nullptr},
  }};
};

Script::Next Script::Run(std::string_view line) {
  const std::vector<std::string_view> words = Split(line);
  if (words.empty() || words[0].starts_with("#")) return Next::Continue;
  for (const auto& command : ScriptCommands::kTable) {
    if (command.name != words[0]) continue;
    if (command.run == nullptr) return Next::Quit;
    if (words.size() - 1 < command.minArguments) {
      Fail(std::string(command.name) + ": missing argument");
    } else {
      command.run(*this, words);
    }
    return Next::Continue;
  }
  Fail("unknown command '" + std::string(words[0]) + "'");
  return Next::Continue;
}

void Script::Fail(std::string_view what) {
  ++failures_;
  log_.Write("error " + std::string(what));
}

void Script::QueueWithButtons(std::uint32_t upperBytes) {
  driver_.QueueWord(upperBytes | buttons_);
}

}  // namespace hidhost::driver_emu
