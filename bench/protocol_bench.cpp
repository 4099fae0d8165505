// Hot paths under Google Benchmark: cutting frames out of the receive ring,
// the device side's handling of one request, a key's redraw and one tick.
// The main window is real (headless platform, ports closed, so replies are
// built but not sent; device_reply_bench times the whole path).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "bench/bench_window.h"
#include "bench/far_end.h"
#include "controls/cbkey.h"
#include "controls/tckey.h"
#include "protocol/rxring.h"

namespace {

// A stream of the four requests of the usual mix, one after another.
std::string frameStream(int frames) {
  std::string s;
  const auto& mix = vxbench::RequestMix();
  for (int i = 0; i < frames; ++i) s.append(mix[static_cast<size_t>(i) % mix.size()].bytes);
  return s;
}

void BM_RxringReceive(benchmark::State& state) {
  const std::string stream = frameStream(1024);
  const size_t chunk = static_cast<size_t>(state.range(0));
  rxring ring;
  FrameArray frame{};
  int64_t handled = 0;
  const std::function<void()> handler = [&] { ++handled; };
  for (auto _ : state) {
    for (size_t at = 0; at < stream.size(); at += chunk)
      ring.receive(std::string_view(stream).substr(at, chunk), frame, handler);
    benchmark::DoNotOptimize(frame);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(stream.size()));
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(handled), benchmark::Counter::kIsRate);
}
// Bytes per read: one at a time, a typical serial read, a large backlog.
BENCHMARK(BM_RxringReceive)->Arg(1)->Arg(16)->Arg(4096);

void BM_DeviceFrameHandling(benchmark::State& state) {
  app::main& m = app::main::instance();
  m.Timer1.SetEnabled(false);
  const std::string request(vxbench::RequestMix()[static_cast<size_t>(state.range(0))].bytes);
  std::string label;
  for (const unsigned char c : request) {
    if (!label.empty()) label += ' ';
    label += "0123456789ABCDEF"[c >> 4];
    label += "0123456789ABCDEF"[c & 0xF];
  }
  state.SetLabel(label);
  for (auto _ : state) m.rxbuffa.receive(request, m.incmda, [&m] { m.parsecmda(); });
}
// 0: 00 11 11, 1: 20 01 21, 2: 61 0C 01 6E, 3: 61 20 0F 90.
BENCHMARK(BM_DeviceFrameHandling)->DenseRange(0, 3);

void BM_CbkeyRedraw(benchmark::State& state) {
  auto parent = std::make_unique<QWidget>();
  cbkey key(parent.get());
  key.SetBounds(0, 0, 40, 30);
  key.caption = ">>";
  for (auto _ : state) key.redraw();
}
BENCHMARK(BM_CbkeyRedraw);

void BM_TimecodeRedraw(benchmark::State& state) {
  auto parent = std::make_unique<QWidget>();
  tckey display(parent.get());
  display.applyDesign();
  display.SetBounds(0, 0, 181, 35);
  display.init();
  for (auto _ : state) display.redraw();
}
BENCHMARK(BM_TimecodeRedraw);

void BM_TickWhilePlaying(benchmark::State& state) {
  app::main& m = app::main::instance();
  m.Timer1.SetEnabled(false);
  m.dpoz->cmdin(tally::kPlay);
  m.cpoz->cmdin(tally::kPlay);
  for (auto _ : state) m.Timer1_Action();
}
BENCHMARK(BM_TickWhilePlaying);

// The same tick followed by the repaint it asks for, as the event loop runs
// it next: both displays are shown from their pictures. The counter gives
// the displays' redraws per tick.
void BM_TickWhilePlayingWithRepaint(benchmark::State& state) {
  app::main& m = app::main::instance();
  m.Timer1.SetEnabled(false);
  m.dpoz->cmdin(tally::kPlay);
  m.cpoz->cmdin(tally::kPlay);
  QCoreApplication::processEvents();  // the window is exposed and painted once
  const int before = m.dpoz->redrawCount() + m.cpoz->redrawCount();
  for (auto _ : state) {
    m.Timer1_Action();
    QCoreApplication::sendPostedEvents(&m, QEvent::UpdateRequest);
  }
  const int redraws = m.dpoz->redrawCount() + m.cpoz->redrawCount() - before;
  state.counters["redraws/tick"] = static_cast<double>(redraws) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_TickWhilePlayingWithRepaint);

}  // namespace

int main(int argc, char** argv) {
  vxbench::BenchWindow window(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
