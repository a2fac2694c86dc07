// Window message translation: the class window procedure of every window
// made by WindowCreate, turning messages into queued or direct events.
#pragma once

#include <windows.h>
#include <stdint.h>

LRESULT CALLBACK WindowClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int64_t WindowMessageHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
