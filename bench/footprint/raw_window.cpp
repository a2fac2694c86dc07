// The floor for the footprint comparison: the utility's window and its four
// controls made directly with Win32 calls, with no toolkit beneath. Same
// class styles, window styles, geometry, texts and font as rfidnummer.exe,
// and the same resources; it converts nothing. Closing it ends the process
// with exit code 0.
#include <windows.h>

static LRESULT CALLBACK RawWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

static void RawControlCreate(HWND parent, int id, const char* className, DWORD extendedStyle, DWORD style, int x,
                             int y, int width, int height, const char* text) {
  HWND control = CreateWindowExA(extendedStyle, className, text, style | WS_CHILD | WS_VISIBLE, x, y, width, height,
                                 parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 1);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = RawWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = "RawWindowClass";
  RegisterClassA(&windowClass);

  const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame = {0, 0, 200, 70};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  int width = frame.right - frame.left, height = frame.bottom - frame.top;
  HWND window = CreateWindowExA(0, "RawWindowClass", "RFID Nummer", style,
                                (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr,
                                instance, nullptr);
  if (!window) ExitProcess(0);
  ShowWindow(window, SW_SHOWNORMAL);
  RawControlCreate(window, 0, "Static", 0, WS_GROUP, 10, 12, 100, 20, "Nummer auf Karte:");
  RawControlCreate(window, 1, "Edit", WS_EX_CLIENTEDGE, WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL, 100, 10, 90, 20, "");
  RawControlCreate(window, 2, "Static", 0, WS_GROUP, 10, 42, 100, 20, "berechnet:");
  RawControlCreate(window, 3, "Edit", WS_EX_CLIENTEDGE, WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, 100,
                   40, 90, 20, "");

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  ExitProcess(0);
}
