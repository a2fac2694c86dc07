// Real keyboard and mouse input through SendInput, for the GUI tests and
// the scripts' sample-input tool: it reaches whatever window is in the
// foreground, as a person's typing and clicking would. Mouse coordinates
// are screen pixels.
#pragma once

#include <windows.h>

namespace synthetic {

// One key press and release, with a modifier key (VK_SHIFT, VK_MENU,
// VK_CONTROL) held around it when one is given.
void PressKey(WORD virtualKey, WORD modifier = 0);
// Types text key by key; false, and nothing typed, when a character has no
// key on the current layout.
bool TypeText(const char* text);
// A left click at a screen point, and at the centre of a window.
void ClickAt(int x, int y);
void ClickWindow(HWND window);
// An absolute mouse movement, and a left button press or release where the
// cursor is.
void MoveMouseTo(int x, int y);
void LeftButton(bool down);

}  // namespace synthetic
