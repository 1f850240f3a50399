#include "platform/sim/ProfileText.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/sim/RegistryStore.h"

namespace hidhost::sim {

namespace {

// GetPrivateProfileIntA reads the value into a buffer of this many characters.
constexpr std::size_t kIntBuffer = 30;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Lowercase(a) == Lowercase(b), without building either: every profile read
// compares each section and key name it passes.
bool SameName(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

struct Line {
  std::size_t begin = 0;     // offset of the line in the text
  std::string_view content;  // without its ending
  std::string_view ending;   // "\r\n", "\n" or empty at the end of the text
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t newline = text.find('\n', at);
    Line line;
    line.begin = at;
    if (newline == std::string_view::npos) {
      line.content = text.substr(at);
      at = text.size();
    } else {
      std::size_t end = newline;
      if (end > at && text[end - 1] == '\r') --end;
      line.content = text.substr(at, end - at);
      line.ending = text.substr(end, newline + 1 - end);
      at = newline + 1;
    }
    lines.push_back(line);
  }
  return lines;
}

// The section a header line opens, if it is one.
std::optional<std::string_view> SectionOf(std::string_view content) {
  const std::string_view trimmed = Trim(content);
  if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
  const auto close = trimmed.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(trimmed.substr(1, close - 1));
}

struct KeyLine {
  std::string_view name;
  std::string_view value;
};

KeyLine KeyOf(std::string_view content) {
  const std::string_view trimmed = Trim(content);
  const auto equals = trimmed.find('=');
  if (equals == std::string_view::npos) return {trimmed, {}};
  return {Trim(trimmed.substr(0, equals)), Trim(trimmed.substr(equals + 1))};
}

struct Location {
  std::optional<std::size_t> header;  // line index of the section's header
  std::optional<std::size_t> key;     // line index of the key
  std::size_t lastFilled = 0;         // last non-blank line of the section
};

Location Locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
  Location where;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto header = SectionOf(lines[i].content);
    if (!where.header) {
      if (header && SameName(*header, section)) {
        where.header = i;
        where.lastFilled = i;
      }
      continue;
    }
    if (header) break;  // the section ends at the next header
    if (Trim(lines[i].content).empty()) continue;
    where.lastFilled = i;
    if (!where.key && SameName(KeyOf(lines[i].content).name, key)) where.key = i;
  }
  return where;
}

std::string_view StripQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// The system reads a structure's digits without checking them: past '9' a
// character counts from 'A' (upper-cased first), whatever it is.
int NibbleOf(char c) {
  const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
  return upper > '9' ? upper - 'A' + 10 : upper - '0';
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

}  // namespace

std::optional<std::string> ProfileValue(std::string_view text, std::string_view section,
                                        std::string_view key) {
  return ProfileValueIn(ProfileSection(text, section), key);
}

std::vector<ProfileLine> ProfileSection(std::string_view text, std::string_view section) {
  std::vector<ProfileLine> found;
  bool inside = false;
  for (const Line& line : SplitLines(text)) {
    const auto header = SectionOf(line.content);
    if (!inside) {
      inside = header && SameName(*header, section);
      continue;
    }
    if (header) break;  // the section ends at the next header
    if (Trim(line.content).empty()) continue;
    const KeyLine key = KeyOf(line.content);
    found.push_back({key.name, key.value});
  }
  return found;
}

std::optional<std::string> ProfileValueIn(const std::vector<ProfileLine>& lines,
                                          std::string_view key) {
  for (const ProfileLine& line : lines) {
    if (SameName(line.key, key)) return std::string(line.value);
  }
  return std::nullopt;
}

std::uint32_t ParseSystemInteger(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && static_cast<unsigned char>(text[at]) <= ' ') ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  std::uint32_t base = 10;
  if (at + 1 < text.size() && text[at] == '0') {
    const char prefix = text[at + 1];
    if (prefix == 'x') base = 16;
    if (prefix == 'o') base = 8;
    if (prefix == 'b') base = 2;
    if (base != 10) at += 2;
  }
  std::uint32_t total = 0;
  for (; at < text.size(); ++at) {
    const int digit = DigitValue(text[at]);
    if (digit >= static_cast<int>(base)) break;
    total = total * base + static_cast<std::uint32_t>(digit);
  }
  return negative ? 0u - total : total;
}

std::uint32_t ProfileInt(const std::optional<std::string>& value, std::int32_t fallback) {
  if (!value) return static_cast<std::uint32_t>(fallback);
  std::string_view text = StripQuotes(*value);
  if (text.size() > kIntBuffer - 1) text = text.substr(0, kIntBuffer - 1);
  if (text.empty()) return static_cast<std::uint32_t>(fallback);
  return ParseSystemInteger(text);
}

bool ProfileStruct(const std::optional<std::string>& value, std::span<std::uint8_t> out) {
  if (!value || value->size() < 2 || (value->size() - 2) / 2 != out.size()) return false;
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] =
        static_cast<std::uint8_t>(NibbleOf((*value)[2 * i]) * 16 + NibbleOf((*value)[2 * i + 1]));
    sum += out[i];
  }
  const std::size_t check = out.size() * 2;
  const int stored = (NibbleOf((*value)[check]) * 16 + NibbleOf((*value)[check + 1])) & 0xFF;
  return static_cast<std::uint32_t>(stored) == (sum & 0xFF);
}

std::string ProfileWithValue(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view value) {
  const auto lines = SplitLines(text);
  const Location where = Locate(lines, section, key);
  std::string result;
  if (where.key) {
    const Line& line = lines[*where.key];
    result.append(text.substr(0, line.begin));
    result.append(KeyOf(line.content).name);
    result += '=';
    result.append(value);
    result.append(line.ending);
    result.append(text.substr(line.begin + line.content.size() + line.ending.size()));
    return result;
  }
  const std::string newKey = std::string(key) + "=" + std::string(value) + "\r\n";
  if (where.header) {
    const Line& after = lines[where.lastFilled];
    const std::size_t cut = after.begin + after.content.size() + after.ending.size();
    result.append(text.substr(0, cut));
    if (after.ending.empty()) result += "\r\n";
    result += newKey;
    result.append(text.substr(cut));
    return result;
  }
  result.append(text);
  if (!result.empty() && result.back() != '\n') result += "\r\n";
  result += "[";
  result.append(section);
  result += "]\r\n";
  result += newKey;
  return result;
}

}  // namespace hidhost::sim
