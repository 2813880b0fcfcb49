// The clock and the statistics every benchmark shares: milliseconds on the performance counter,
// medians, and timing a step over several runs.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <vector>

// Milliseconds since an arbitrary start on the performance counter. The counter is the same for
// every process of the machine, so times taken by two programs can be compared.
double NowMs();
// A performance-counter reading (QueryPerformanceCounter) as milliseconds on NowMs's scale.
double CounterToMs(LONGLONG counter);

// The middle value of a non-empty list (the upper one of the two middles of an even count).
template <typename T>
T Median(std::vector<T> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Runs step once; the milliseconds it took.
double TimeMs(const std::function<void()>& step);
// Runs step `repeats` times (at least once); the median of its times in milliseconds.
double MedianMs(int repeats, const std::function<void()>& step);
