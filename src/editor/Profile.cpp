#include "editor/Profile.h"

#include <charconv>
#include <set>
#include <vector>

#include "editor/ActionNames.h"
#include "editor/EditableFields.h"
#include "editor/KeyCapture.h"
#include "editor/TextCompare.h"
#include "editor/UpdatePlan.h"

namespace hidhost::editor {

namespace {

using settings::ButtonAssignment;
using settings::MouseSettings;

constexpr std::string_view kSection = "Setting";
// The host's own key: a copy of config.ini may carry it, a profile never sets it.
constexpr std::string_view kDeviceKey = "Device";

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<std::int32_t> ParseInteger(std::string_view text) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

std::optional<int> AssignmentIndex(std::string_view key) {
  for (int i = 0; i < settings::kButtonCount; ++i) {
    if (EqualsIgnoringCase(key, AssignmentKey(i))) return i;
  }
  return std::nullopt;
}

// Empty when the assignment is one the window could have made for the button.
std::string AssignmentProblem(int index, const ButtonAssignment& a) {
  if (a.buttonNumber != index + 1) return "belongs to button " + std::to_string(a.buttonNumber);
  if (!FindActionChoice(a.actionCode))
    return "action " + std::to_string(a.actionCode) + " is unknown";
  if (a.actionCode != kKeyCombinationAction) return {};
  if (a.modifier > kLastModifier) return "modifier " + std::to_string(a.modifier) + " is unknown";
  if (a.keyUsage != 0 && !KeyOfUsage(a.keyUsage))
    return "key " + std::to_string(a.keyUsage) + " cannot be sent";
  return {};
}

class ProfileReader {
 public:
  explicit ProfileReader(const MouseSettings& base) : record_(base) {}

  // Empty when the line is good.
  std::string Read(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() == ';' || line.front() == '#') return {};
    if (line.front() == '[') return ReadSection(line);
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return "expected KEY=VALUE";
    if (!inSection_) return "a key outside the [Setting] section";
    if (!otherSection_.empty()) return {};
    const std::string_view key = Trim(line.substr(0, equals));
    const std::string_view value = Trim(line.substr(equals + 1));
    if (!seen_.insert(Folded(key)).second) return std::string(key) + " is given twice";
    return ReadKey(key, value);
  }

  bool SawSection() const { return sawSetting_; }
  MouseSettings Record() const { return record_; }

 private:
  std::string ReadSection(std::string_view line) {
    if (line.back() != ']') return "a section name needs its closing ]";
    const std::string_view name = Trim(line.substr(1, line.size() - 2));
    inSection_ = true;
    if (EqualsIgnoringCase(name, kSection)) {
      if (sawSetting_) return "a second [Setting] section";
      sawSetting_ = true;
      otherSection_.clear();
    } else {
      otherSection_ = name;  // another program's: left alone
    }
    return {};
  }

  std::string ReadKey(std::string_view key, std::string_view value) {
    if (EqualsIgnoringCase(key, kDeviceKey)) return {};
    if (const std::optional<int> index = AssignmentIndex(key)) {
      const std::optional<ButtonAssignment> assignment = ParseAssignment(value);
      if (!assignment) return std::string(key) + " needs 10 hex digits with a correct checksum";
      if (std::string why = AssignmentProblem(*index, *assignment); !why.empty()) {
        return std::string(key) + ": " + why;
      }
      record_.ButtonInfo[static_cast<std::size_t>(*index)] = *assignment;
      return {};
    }
    const EditableField* field = FindEditableField(key);
    if (field == nullptr) return "unknown key " + std::string(key);
    const std::optional<std::int32_t> number = ParseInteger(value);
    if (!number) return std::string(key) + " needs a whole number";
    if (!InRange(*field, *number)) {
      return std::string(key) + " must lie in " + std::to_string(field->minimum) + ".." +
             std::to_string(field->maximum);
    }
    record_.*field->member = *number;
    if (field->member == &MouseSettings::SpeedPreset) record_.Acceleration = *number != 0 ? 1 : 0;
    return {};
  }

  static std::string Folded(std::string_view key) {
    std::string folded(key);
    for (char& c : folded) c = FoldCase(c);
    return folded;
  }

  MouseSettings record_;
  std::set<std::string> seen_;
  std::string otherSection_;
  bool inSection_ = false;
  bool sawSetting_ = false;
};

}  // namespace

std::string ExportProfile(const MouseSettings& record) {
  std::string text = "; HidHost mouse settings\r\n[Setting]\r\n";
  for (const EditableField& field : EditableFields()) {
    // As shown: a value the window would flag is saved as the window shows it.
    text += std::string(field.key) + "=" + std::to_string(Show(record, field).value) + "\r\n";
  }
  for (int i = 0; i < settings::kButtonCount; ++i) {
    text += AssignmentKey(i) + "=" + FormatAssignment(Show(record, i).assignment) + "\r\n";
  }
  return text;
}

ImportResult ImportProfile(std::string_view text, const MouseSettings& base) {
  ProfileReader reader(base);
  int number = 0;
  while (!text.empty()) {
    ++number;
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (std::string problem = reader.Read(line); !problem.empty()) {
      return {std::nullopt, number, std::move(problem)};
    }
  }
  if (!reader.SawSection()) return {std::nullopt, 0, "the file has no [Setting] section"};
  return {reader.Record(), 0, {}};
}

}  // namespace hidhost::editor
