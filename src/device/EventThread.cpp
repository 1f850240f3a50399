#include "device/EventThread.h"

namespace hidhost::device {

namespace {

bool Quitting(const EventThreadContext& context) {
  return context.quit.load(std::memory_order_acquire);
}

}  // namespace

std::uint32_t EventThreadMain(void* parameter) {
  auto& context = *static_cast<EventThreadContext*>(parameter);
  if (Quitting(context)) return 0;
  for (;;) {
    const platform::WaitResult waited =
        context.kernel.WaitForSingleObject(context.semaphore, platform::kInfinite);
    // A wait that fails would fail again at once: leave rather than spin.
    if (waited != platform::WaitResult::Signalled) return 0;
    if (Quitting(context)) return 0;

    std::uint32_t word = 0;
    // While the channel is closed the count is spent without a read.
    if (context.channel.ReadEvent(word) == DriverChannel::ReadResult::Event) {
      context.decoder.Decode(word);
    }
    if (Quitting(context)) return 0;
  }
}

}  // namespace hidhost::device
