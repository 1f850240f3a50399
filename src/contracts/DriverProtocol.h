// The mouse driver's control device as seen from user mode: its name and the
// I/O control codes it answers. One definition for the host, the simulated
// driver, the light fuzzing desktop and the driver emulator.
//
//   kIoctlRegisterSemaphore  in: the semaphore's handle value (4 bytes); the
//                            driver releases it once per queued event word
//   kIoctlUnregister         no buffers
//   kIoctlReadEvent          in and out: one event word (4 bytes)
//   kIoctlSetPassThroughMask in: the mask of buttons whose own input passes (4 bytes)
#pragma once

#include <cstdint>

namespace hidhost::contracts {

inline constexpr const char* kDeviceName = "\\\\.\\ZWTRQUILL48";

inline constexpr std::uint32_t kIoctlRegisterSemaphore = 0x222400;
inline constexpr std::uint32_t kIoctlUnregister = 0x222404;
inline constexpr std::uint32_t kIoctlReadEvent = 0x222408;
inline constexpr std::uint32_t kIoctlSetPassThroughMask = 0x222420;

}  // namespace hidhost::contracts
