// Helpers shared by the GUI tests under Wine: pumping messages until a
// condition holds (bounded, never a blind sleep), bringing a window to the
// foreground, synthesized keys and clicks, and readable message names.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace gui {

// Pumps this thread's messages (PeekMessage/Translate/Dispatch) until
// condition() is true or timeoutMs passes. Returns whether it became true.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
// Pumps until the queue has been empty for quietMs (bounded by timeoutMs).
void PumpUntilIdle(DWORD quietMs = 50, DWORD timeoutMs = 2000);
// SetForegroundWindow and pump until it is the foreground and active window.
bool BringToForeground(HWND window, DWORD timeoutMs = 5000);

// SendInput: one key press and release; with shift held when asked.
void PressKey(WORD virtualKey, bool shift = false);
void TypeText(const char* text);
// SendInput: a left click at a screen point (absolute coordinates).
void ClickAt(int x, int y);
// Clicks the centre of a window.
void ClickWindow(HWND window);
// SendInput: an absolute mouse movement to a screen point, and a left
// button press or release where the cursor is.
void MoveMouseTo(int x, int y);
void LeftButton(bool down);

std::string WindowText(HWND window);
std::string ClassNameOf(HWND window);
// "WM_KEYDOWN" and the like for the messages tests care about, else the number.
std::string MessageName(UINT message);

}  // namespace gui
