#include "bench/bench_timing.h"

double CounterToMs(LONGLONG counter) {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  return static_cast<double>(counter) * 1000.0 / frequency;
}

double NowMs() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return CounterToMs(t.QuadPart);
}

double TimeMs(const std::function<void()>& step) {
  const double start = NowMs();
  step();
  return NowMs() - start;
}

double MedianMs(int repeats, const std::function<void()>& step) {
  std::vector<double> times;
  for (int i = 0; i < std::max(1, repeats); ++i) times.push_back(TimeMs(step));
  return Median(times);
}
