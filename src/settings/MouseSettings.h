// The settings record's defaults and initial fill. The record itself is a
// contract with the configuration program (contracts/SettingsRecord.h).
#pragma once

#include "contracts/SettingsRecord.h"
#include "settings/ButtonLayout.h"

namespace hidhost::settings {

using contracts::ButtonAssignment;
using contracts::kFirstButtonWord;
using contracts::kMouseSettingsSize;
using contracts::kMouseSettingsWords;
using contracts::MouseSettings;

// The initial fill: the first 21 fields -1, MouseColor untouched, assignments all zero.
void ClearSettings(MouseSettings& record);
// The defaults: the first 21 fields their defaults, MouseColor untouched,
// assignment i = DefaultAssignment(i).
void SetDefaultSettings(MouseSettings& record);
// {index+1, the button's built-in action code, 0, 0}; all zero outside 0..6.
ButtonAssignment DefaultAssignment(int index);

}  // namespace hidhost::settings
