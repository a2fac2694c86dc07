// sample_input.exe TITLE TEXT: shows a running program at work, as a person
// would use it. It waits for the visible window titled TITLE, brings it to
// the foreground, clicks into its first edit field, types TEXT and presses
// Tab to leave the field, then waits until the second edit field shows a
// result, has it painted and prints the result on one line. Keys and clicks go through SendInput,
// so the program sees real input. Every wait is bounded; on a timeout it
// says what it waited for and exits with 1 (2 for a wrong call).
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "tools/input/synthetic_input.h"

namespace {

const DWORD WAIT_LIMIT_MS = 20000;

struct Search {
  const char* title;
  HWND found;
};

BOOL CALLBACK TopLevelStep(HWND window, LPARAM context) {
  Search* search = reinterpret_cast<Search*>(context);
  char title[256] = {};
  if (!IsWindowVisible(window) || !GetWindowTextA(window, title, sizeof title)) return TRUE;
  if (strcmp(title, search->title) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

struct Fields {
  HWND edits[2];
  int count;
};

BOOL CALLBACK ChildStep(HWND child, LPARAM context) {
  Fields* fields = reinterpret_cast<Fields*>(context);
  char name[16] = {};
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpiA(name, "Edit") == 0 && fields->count < 2) fields->edits[fields->count++] = child;
  return fields->count < 2;
}

// Polls `condition` every 20 ms until it holds or the limit passes.
template <typename Condition>
bool AwaitCondition(Condition condition) {
  DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start > WAIT_LIMIT_MS) return false;
    Sleep(20);
  }
}

void Text(HWND control, char* text, int size) {
  text[0] = 0;
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(control, WM_GETTEXT, size, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied);
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

int Fail(const char* awaited) {
  fprintf(stderr, "sample_input: gave up waiting for %s\n", awaited);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: sample_input TITLE TEXT\n");
    return 2;
  }
  const char* typed = argv[2];
  Search search = {argv[1], nullptr};
  Fields fields = {};
  bool ready = AwaitCondition([&] {
    search.found = nullptr;
    EnumWindows(TopLevelStep, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return false;
    fields = Fields();
    EnumChildWindows(search.found, ChildStep, reinterpret_cast<LPARAM>(&fields));
    return fields.count == 2;
  });
  if (!ready) return Fail("the window and its two edit fields");
  HWND window = search.found;
  SetForegroundWindow(window);
  if (!AwaitCondition([&] { return GetForegroundWindow() == window; })) return Fail("the window in the foreground");
  // A window that has only just come to the front may miss a first click.
  bool focused = false;
  for (int attempt = 0; attempt < 3 && !focused; attempt++) {
    synthetic::ClickWindow(fields.edits[0]);
    DWORD start = GetTickCount();
    while (!(focused = FocusOf(window) == fields.edits[0]) && GetTickCount() - start < 2000) Sleep(20);
  }
  if (!focused) return Fail("the focus in the first field");
  if (!synthetic::TypeText(typed)) {
    fprintf(stderr, "sample_input: no key types every character of '%s'\n", typed);
    return 2;
  }
  char text[256];
  if (!AwaitCondition([&] {
        Text(fields.edits[0], text, sizeof text);
        return strcmp(text, typed) == 0;
      }))
    return Fail("the typed text in the first field");
  synthetic::PressKey(VK_TAB);
  if (!AwaitCondition([&] {
        Text(fields.edits[1], text, sizeof text);
        return text[0] != 0;
      }))
    return Fail("a result in the second field");
  // The field's pending paint is done before this returns (the paint
  // message is sent), so that a picture taken next shows the result. Only
  // that field: repainting the whole window would draw the labels over the
  // fields they overlap.
  UpdateWindow(fields.edits[1]);
  printf("%s\n", text);
  return 0;
}
