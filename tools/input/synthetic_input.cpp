// Synthesized input. See synthetic_input.h.
#include "tools/input/synthetic_input.h"

namespace synthetic {

static void SendKey(WORD virtualKey, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

void PressKey(WORD virtualKey, WORD modifier) {
  if (modifier) SendKey(modifier, false);
  SendKey(virtualKey, false);
  SendKey(virtualKey, true);
  if (modifier) SendKey(modifier, true);
}

bool TypeText(const char* text) {
  // Checked first, so that a text with an untypable character types nothing.
  for (const char* at = text; *at; at++)
    if (VkKeyScanA(*at) == -1) return false;
  for (const char* at = text; *at; at++) {
    SHORT scan = VkKeyScanA(*at);
    PressKey(static_cast<WORD>(scan & 0xFF), (scan & 0x100) ? VK_SHIFT : 0);
  }
  return true;
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

}  // namespace synthetic
