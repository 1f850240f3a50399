// The host window's repeat timers: 200 repeats the primary click, 202 replays
// the held functions, 100 only keeps the window switcher's rhythm.
#pragma once

#include <cstdint>

#include "actions/HeldFunctionFlags.h"
#include "platform/Platform.h"
#include "settings/LiveSettings.h"

namespace hidhost::actions {

// OTGSpeed counts 10 ms units. A zero or negative speed repeats as fast as
// allowed (one unit) rather than handing the system a period it rejects, and
// a huge one stops at the longest period the system accepts.
std::uint32_t AutoFirePeriod(std::int32_t otgSpeed, std::uint32_t maximumPeriod);

// Starting a running timer restarts it with the period of the moment.
void StartRepeatTimer(platform::Platform& platform, const settings::LiveSettings& settings,
                      platform::Hwnd hostWindow, std::uintptr_t id);
void StopRepeatTimer(platform::Platform& platform, platform::Hwnd hostWindow, std::uintptr_t id);

// One WM_TIMER tick of the host window; identifiers without a task do nothing.
void RunRepeatTimerTick(platform::Platform& platform, const settings::LiveSettings& settings,
                        const HeldFunctionFlags& flags, std::uintptr_t id);

}  // namespace hidhost::actions
