// The host's live settings record, shared by two threads: the window thread
// replaces it (start-up, update notices, the pointer step) and the event
// thread reads single fields and single assignments while it acts.
//
// Every word is an atomic, so a reader always sees one whole value of a field
// or of a 4-byte assignment; a reader that runs during a replacement may see
// some words old and some new, as the configuration program expects.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "settings/MouseSettings.h"

namespace hidhost::settings {

// Word index of each field in the record (its offset divided by four).
enum class Field : std::size_t {
#define HIDHOST_FIELD_INDEX(name) name,
  HIDHOST_RECORD_NUMBER_FIELDS(HIDHOST_FIELD_INDEX)
#undef HIDHOST_FIELD_INDEX
};

class LiveSettings {
 public:
  LiveSettings();
  explicit LiveSettings(const MouseSettings& initial);

  MouseSettings Snapshot() const;
  void Replace(const MouseSettings& record);

  std::int32_t Get(Field field) const;
  void Set(Field field, std::int32_t value);
  // Index 0..6; an index outside that range gives an all-zero assignment.
  ButtonAssignment Assignment(int index) const;
  std::uint8_t ActionCode(int index) const { return Assignment(index).actionCode; }

 private:
  std::array<std::atomic<std::uint32_t>, kMouseSettingsWords> words_;
};

}  // namespace hidhost::settings
