// Host cost per driver event on the null platform: the decoder alone, the
// decoder with the dispatcher, and the whole turn of the event thread after
// its wake-up (the read request, the decode, the actions). One iteration is
// one event word, taken round and round from a realistic stream.
#include <benchmark/benchmark.h>

#include <cstddef>

#include "BenchSupport.h"
#include "EventPath.h"
#include "EventStreams.h"
#include "support/NullPlatform.h"

namespace hidhost::bench {

namespace {

constexpr platform::Hwnd kHostWindow = static_cast<platform::Hwnd>(0x9000);

EventStream StreamFor(const benchmark::State& state) {
  return AllStreams().at(static_cast<std::size_t>(state.range(0)));
}

// The document view under the cursor, for the tilts' scroll steps.
void LayOutDocumentView(NullPlatform& platform) {
  NullWindowTree& tree = platform.Windows().Tree();
  AddLayout(kDocumentView, [&](const WindowRow& row, platform::Hwnd parent) {
    return tree.Add(row.className, parent, row.rect, row.style);
  });
  platform.Input().SetCursor(kDocumentCursor);
}

void BM_Decode_NullSink(benchmark::State& state) {
  const EventStream stream = StreamFor(state);
  NullSink sink;
  device::EventDecoder decoder(sink);
  const std::size_t n = stream.words.size();
  std::size_t next = 0;
  const AllocationsPerIteration allocations;
  for (auto _ : state) {
    decoder.Decode(stream.words[next]);
    next = next + 1 == n ? 0 : next + 1;
  }
  allocations.Report(state);
  benchmark::DoNotOptimize(decoder.PreviousWord());
  state.SetLabel(std::string(stream.name));
}

void BM_DecodeDispatch_NullPlatform(benchmark::State& state) {
  const EventStream stream = StreamFor(state);
  NullPlatform platform;
  LayOutDocumentView(platform);
  EventPath path(platform.Get(), stream.settings, kHostWindow);
  const std::size_t n = stream.words.size();
  std::size_t next = 0;
  const AllocationsPerIteration allocations;
  for (auto _ : state) {
    path.decoder.Decode(stream.words[next]);
    next = next + 1 == n ? 0 : next + 1;
  }
  allocations.Report(state);
  state.SetLabel(std::string(stream.name));
}

// What the event thread does for each count of its semaphore: the read
// request through the channel (its lock included), then the decode.
void BM_ReadDecodeDispatch_NullPlatform(benchmark::State& state) {
  const EventStream stream = StreamFor(state);
  NullPlatform platform;
  LayOutDocumentView(platform);
  platform.Driver().SetStream(stream.words);
  EventPath path(platform.Get(), stream.settings, kHostWindow);
  path.channel.SetSemaphore(static_cast<platform::Handle>(0x500));
  if (!path.channel.Open()) {
    state.SkipWithError("the null driver did not open");
    return;
  }
  const AllocationsPerIteration allocations;
  for (auto _ : state) {
    std::uint32_t word = 0;
    if (path.channel.ReadEvent(word) == device::DriverChannel::ReadResult::Event) {
      path.decoder.Decode(word);
    }
  }
  allocations.Report(state);
  state.SetLabel(std::string(stream.name));
}

}  // namespace

BENCHMARK(BM_Decode_NullSink)->DenseRange(0, kStreamCount - 1);
BENCHMARK(BM_DecodeDispatch_NullPlatform)->DenseRange(0, kStreamCount - 1);
BENCHMARK(BM_ReadDecodeDispatch_NullPlatform)->DenseRange(0, kStreamCount - 1);

}  // namespace hidhost::bench
