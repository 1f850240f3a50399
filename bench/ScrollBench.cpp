// One horizontal scroll step (ScrollHorizontally, search and sending) over
// frames of 10, 1,000 and 100,000 sibling windows on the null platform, to
// show how the search grows with the windows it visits.
#include <benchmark/benchmark.h>

#include <cstddef>

#include "BenchSupport.h"
#include "EventStreams.h"
#include "actions/HorizontalScroll.h"
#include "settings/LiveSettings.h"
#include "support/NullPlatform.h"

namespace hidhost::bench {

namespace {

void RunScrollSteps(benchmark::State& state, bool withScrollBar) {
  const auto count = static_cast<std::size_t>(state.range(0));
  const SiblingLayout layout = ManySiblings(count, withScrollBar);
  NullPlatform platform;
  NullWindowTree& tree = platform.Windows().Tree();
  const auto handles = AddLayout(layout.rows, [&](const WindowRow& row, platform::Hwnd parent) {
    return tree.Add(row.className, parent, row.rect, row.style);
  });
  // The window under the cursor is given, not searched for: finding it is
  // the system's work, and here it would walk half the siblings.
  platform.Windows().SetWindowUnderCursor(handles[layout.underCursor]);
  platform.Input().SetCursor(kSiblingCursor);
  const settings::LiveSettings settings(DefaultSettings());

  const AllocationsPerIteration allocations;
  std::int32_t step = 1;
  for (auto _ : state) {
    actions::ScrollHorizontally(platform.Get(), settings, step);
    step = -step;
  }
  allocations.Report(state);
  state.SetComplexityN(static_cast<benchmark::IterationCount>(count));
  state.counters["windows_visited"] = static_cast<double>(layout.windowsVisited);
  state.counters["per_window"] = benchmark::Counter(
      static_cast<double>(layout.windowsVisited),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The bar is the last sibling the search visits.
void BM_ScrollSearch_BarFoundLast(benchmark::State& state) {
  RunScrollSteps(state, true);
}

// Nothing scrolls: both searches visit every sibling, then a wheel notch.
void BM_ScrollSearch_NothingFound(benchmark::State& state) {
  RunScrollSteps(state, false);
}

// The everyday case: the scroll bar right beside the document view.
void BM_ScrollStep_DocumentView(benchmark::State& state) {
  NullPlatform platform;
  NullWindowTree& tree = platform.Windows().Tree();
  AddLayout(kDocumentView, [&](const WindowRow& row, platform::Hwnd parent) {
    return tree.Add(row.className, parent, row.rect, row.style);
  });
  platform.Input().SetCursor(kDocumentCursor);
  const settings::LiveSettings settings(DefaultSettings());
  const AllocationsPerIteration allocations;
  std::int32_t step = 1;
  for (auto _ : state) {
    actions::ScrollHorizontally(platform.Get(), settings, step);
    step = -step;
  }
  allocations.Report(state);
}

}  // namespace

BENCHMARK(BM_ScrollSearch_BarFoundLast)->Arg(10)->Arg(1000)->Arg(100000)->Complexity(benchmark::oN);
BENCHMARK(BM_ScrollSearch_NothingFound)->Arg(10)->Arg(1000)->Arg(100000)->Complexity(benchmark::oN);
BENCHMARK(BM_ScrollStep_DocumentView);

}  // namespace hidhost::bench
