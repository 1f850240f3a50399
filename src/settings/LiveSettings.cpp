#include "settings/LiveSettings.h"

#include <cstring>

namespace hidhost::settings {

namespace {

std::array<std::uint32_t, kMouseSettingsWords> ToWords(const MouseSettings& record) {
  std::array<std::uint32_t, kMouseSettingsWords> words{};
  std::memcpy(words.data(), &record, sizeof record);
  return words;
}

}  // namespace

LiveSettings::LiveSettings() {
  for (auto& word : words_) word.store(0, std::memory_order_relaxed);
}

LiveSettings::LiveSettings(const MouseSettings& initial) : LiveSettings() {
  Replace(initial);
}

MouseSettings LiveSettings::Snapshot() const {
  std::array<std::uint32_t, kMouseSettingsWords> words{};
  for (std::size_t i = 0; i < words.size(); ++i) {
    words[i] = words_[i].load(std::memory_order_acquire);
  }
  MouseSettings record;
  std::memcpy(&record, words.data(), sizeof record);
  return record;
}

void LiveSettings::Replace(const MouseSettings& record) {
  const auto words = ToWords(record);
  for (std::size_t i = 0; i < words.size(); ++i) {
    words_[i].store(words[i], std::memory_order_release);
  }
}

std::int32_t LiveSettings::Get(Field field) const {
  return static_cast<std::int32_t>(
      words_[static_cast<std::size_t>(field)].load(std::memory_order_acquire));
}

void LiveSettings::Set(Field field, std::int32_t value) {
  words_[static_cast<std::size_t>(field)].store(static_cast<std::uint32_t>(value),
                                                std::memory_order_release);
}

ButtonAssignment LiveSettings::Assignment(int index) const {
  if (index < 0 || index >= kButtonCount) return {};
  const std::uint32_t word =
      words_[kFirstButtonWord + static_cast<std::size_t>(index)].load(std::memory_order_acquire);
  ButtonAssignment assignment;
  std::memcpy(&assignment, &word, sizeof assignment);
  return assignment;
}

}  // namespace hidhost::settings
