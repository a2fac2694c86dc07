// Helpers for end-to-end tests that drive the real rfidnummer.exe from
// outside, with only what a person or an accessibility tool has: the
// program is started as its own process (support/child_process.h), its
// window is found by its title,
// it gets synthesized keys and clicks (SendInput), its fields are read with
// WM_GETTEXT, and it is closed with WM_CLOSE or Alt+F4.
//
// The test program gets the utility's path and the build directory as its
// first two arguments, as Linux paths (Wine maps "/" to drive Z:).
// Every wait is bounded and reports what it awaited; nothing sleeps blindly.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "support/child_process.h"

namespace e2e {

// "/work/x/y" -> "Z:\work\x\y"; a path that already has a drive is kept.
std::string WindowsPath(const std::string& path);
// The test program's own argument (1 = utility, 2 = build directory) as a
// Windows path; empty when missing.
std::string ProgramArgument(int index);

// A started program and its main window.
struct RunningProgram {
  support::ChildProcess child;  // zero when the start failed
  HWND window;                  // null until found
  DWORD windowThread;           // the thread that owns the window
};

// Starts the program, then waits (bounded) until a visible top-level
// window of that process titled `title` exists.
bool ProgramStart(RunningProgram* program, const std::string& path, const char* title);

// The window's child controls in the order the system lists them.
std::vector<HWND> ChildControls(HWND window);
// WM_GETTEXT across processes, with a timeout so a hung program cannot hang
// the test; read as Unicode and given as UTF-8, so that umlauts compare
// whatever the ANSI code page.
std::string ControlText(HWND control);
// The control that has the keyboard focus in the program owning `window`.
HWND FocusedControl(HWND window);
// Client rectangle of a control in its parent's client coordinates.
RECT ControlPlacement(HWND control);

// Makes the program's window the foreground window; false on timeout.
bool Activate(HWND window, DWORD timeoutMs = 5000);
// Waits until the control shows `expected`; false on timeout.
bool AwaitText(HWND control, const std::string& expected, DWORD timeoutMs = 5000);
// Waits until `condition` holds, pumping this thread's messages meanwhile.
bool Await(bool (*condition)(void* context), void* context, DWORD timeoutMs = 5000);

// SendInput: End, then Backspace `count` times: empties a field with the
// caret, however the field was entered.
void ClearField(int count);

// Repaints the window and saves what the screen shows of it, frame
// included, as a PNG file.
bool ScreenshotSave(HWND window, const std::string& path);

// Fixture for cases that drive the utility: starts rfidnummer.exe (the
// program's first argument), waits for its window with its four controls
// and activates it; on tear-down closes it if it still runs. Add cases in
// a file of their own: "using e2e::RfidNummerTest;" then
// TEST_F(RfidNummerTest, ...).
class RfidNummerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // What SetUp and TearDown do, for a case that runs the program again.
  void Start();
  void Stop();
  // Clicks into a field and waits until it has the focus.
  void ClickInto(HWND field);

  RunningProgram program = {};
  std::vector<HWND> controls;  // labels 0 and 2, fields 1 and 3
  HWND numberField = nullptr;
  HWND resultField = nullptr;
};

}  // namespace e2e
