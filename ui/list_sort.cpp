#include "ui/list_sort.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <numeric>

namespace {

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int length =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
  if (length > 0) {
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  }
  return wide;
}

}  // namespace

std::vector<int> SortedRowOrder(const std::vector<std::string>& texts, bool ascending) {
  // Converted once, not once per comparison.
  std::vector<std::wstring> wide;
  wide.reserve(texts.size());
  for (const std::string& text : texts) wide.push_back(Wide(text));
  std::vector<int> order(texts.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&wide, ascending](int a, int b) {
    const int compared = StrCmpLogicalW(wide[a].c_str(), wide[b].c_str());
    return ascending ? compared < 0 : compared > 0;
  });
  return order;
}
