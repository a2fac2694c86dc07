// See gui_test_support.h.
#include "support/gui_test_support.h"

#include <stdio.h>

namespace gui {

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (condition()) return true;
    if (GetTickCount() - start >= timeoutMs) return condition();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void PumpUntilIdle(DWORD quietMs, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  DWORD lastMessage = start;
  while (GetTickCount() - start < timeoutMs) {
    MSG message;
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
      lastMessage = GetTickCount();
      continue;
    }
    if (GetTickCount() - lastMessage >= quietMs) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, quietMs, QS_ALLINPUT);
  }
}

bool BringToForeground(HWND window, DWORD timeoutMs) {
  SetForegroundWindow(window);
  return PumpUntil([&] { return GetForegroundWindow() == window && GetActiveWindow() == window; }, timeoutMs);
}

static void SendKey(WORD virtualKey, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

void PressKey(WORD virtualKey, bool shift) {
  if (shift) SendKey(VK_SHIFT, false);
  SendKey(virtualKey, false);
  SendKey(virtualKey, true);
  if (shift) SendKey(VK_SHIFT, true);
}

void TypeText(const char* text) {
  for (const char* at = text; *at; at++) {
    SHORT scan = VkKeyScanA(*at);
    PressKey(static_cast<WORD>(scan & 0xFF), (scan & 0x100) != 0);
  }
}

static void AbsolutePoint(INPUT* input, int x, int y) {
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  input->type = INPUT_MOUSE;
  input->mi.dx = (x * 65535 + width / 2) / (width - 1);
  input->mi.dy = (y * 65535 + height / 2) / (height - 1);
}

void MoveMouseTo(int x, int y) {
  INPUT input = {};
  AbsolutePoint(&input, x, y);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}

void LeftButton(bool down) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &input, sizeof input);
}

void ClickAt(int x, int y) {
  INPUT inputs[3] = {};
  for (INPUT& input : inputs) AbsolutePoint(&input, x, y);
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
  inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
  SendInput(3, inputs, sizeof(INPUT));
}

void ClickWindow(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  ClickAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

std::string WindowText(HWND window) {
  char text[1024] = {};
  SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

std::string ClassNameOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string MessageName(UINT message) {
  static const struct {
    UINT message;
    const char* name;
  } names[] = {
      {WM_CREATE, "WM_CREATE"},         {WM_DESTROY, "WM_DESTROY"},       {WM_MOVE, "WM_MOVE"},
      {WM_SIZE, "WM_SIZE"},             {WM_ACTIVATE, "WM_ACTIVATE"},     {WM_SETFOCUS, "WM_SETFOCUS"},
      {WM_KILLFOCUS, "WM_KILLFOCUS"},   {WM_CLOSE, "WM_CLOSE"},           {WM_ERASEBKGND, "WM_ERASEBKGND"},
      {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"}, {WM_NOTIFY, "WM_NOTIFY"},  {WM_NCDESTROY, "WM_NCDESTROY"},
      {WM_KEYDOWN, "WM_KEYDOWN"},       {WM_KEYUP, "WM_KEYUP"},           {WM_CHAR, "WM_CHAR"},
      {WM_COMMAND, "WM_COMMAND"},       {WM_SYSCOMMAND, "WM_SYSCOMMAND"}, {WM_TIMER, "WM_TIMER"},
      {WM_MOUSEMOVE, "WM_MOUSEMOVE"},   {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"}, {WM_LBUTTONUP, "WM_LBUTTONUP"},
      {WM_SIZING, "WM_SIZING"},         {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
      {WM_ENTERSIZEMOVE, "WM_ENTERSIZEMOVE"}, {WM_EXITSIZEMOVE, "WM_EXITSIZEMOVE"},
  };
  for (const auto& entry : names)
    if (entry.message == message) return entry.name;
  char number[32];
  snprintf(number, sizeof number, "message %u", message);
  return number;
}

}  // namespace gui
