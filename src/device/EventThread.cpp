#include "device/EventThread.h"

#include <array>

namespace hidhost::device {

namespace {

bool Quitting(const EventThreadContext& context) {
  return context.quit.load(std::memory_order_acquire);
}

void RunEventLoop(EventThreadContext& context) {
  if (Quitting(context)) return;
  for (;;) {
    // The quit event first: once it is set, counts still queued are not read.
    const std::array<platform::Handle, 2> wakers = {context.quitEvent, context.semaphore};
    const platform::WaitAnyResult waited =
        context.kernel.WaitForMultipleObjects(wakers, platform::kInfinite);
    // A wait that fails would fail again at once: leave rather than spin.
    if (waited.result != platform::WaitResult::Signalled) return;
    if (waited.index == 0 || Quitting(context)) return;

    std::uint32_t word = 0;
    // While the channel is closed the count is spent without a read.
    const DriverChannel::ReadResult read = context.channel.ReadEvent(word);
    // A read that completes only after the tear-down has released what the
    // host held must not press anything again.
    if (Quitting(context)) return;
    if (read == DriverChannel::ReadResult::Event) context.decoder.Decode(word);
    if (Quitting(context)) return;
  }
}

}  // namespace

std::uint32_t EventThreadMain(void* parameter) {
  auto& context = *static_cast<EventThreadContext*>(parameter);
  RunEventLoop(context);
  // The thread's last touch of anything the host owns.
  context.left.store(true, std::memory_order_release);
  return 0;
}

}  // namespace hidhost::device
