// The start-up baseline: the smallest Win32 program that shows and paints one maximised
// top-level window, so the start-up bench can tell Wine's own cost from the program's.
// WM_COMMAND 2 closes it, as it closes the main program. Like the program, it writes the
// performance-counter marks of its steps to the file QV_STARTUP_MARKS names, when it ends.
#include <windows.h>

#include <cstdio>

namespace {

struct Marks {
  LARGE_INTEGER entry{}, created{}, shown{};
};

void WriteMarks(const Marks& marks) {
  char path[MAX_PATH * 3] = {};
  const DWORD length = GetEnvironmentVariableA("QV_STARTUP_MARKS", path, sizeof(path));
  if (length == 0 || length >= sizeof(path)) return;
  if (FILE* file = std::fopen(path, "w")) {
    std::fprintf(file, "entry %lld\ncreated %lld\nshown %lld\n", marks.entry.QuadPart,
                 marks.created.QuadPart, marks.shown.QuadPart);
    std::fclose(file);
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      FillRect(dc, &paint.rcPaint, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
      EndPaint(window, &paint);
      return 0;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  Marks marks;
  QueryPerformanceCounter(&marks.entry);
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = "QuorvaneEmptyWindow";
  if (!RegisterClassA(&windowClass)) return 1;
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Empty window", WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                                nullptr, instance, nullptr);
  if (!window) return 1;
  QueryPerformanceCounter(&marks.created);
  ShowWindow(window, SW_SHOWMAXIMIZED);
  QueryPerformanceCounter(&marks.shown);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  WriteMarks(marks);
  return 0;
}
