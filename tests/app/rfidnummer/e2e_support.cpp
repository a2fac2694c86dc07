// See e2e_support.h.
#include "e2e_support.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "support/gui_test_support.h"

namespace e2e {

std::string WindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string result = "Z:";
  for (char c : path) result += c == '/' ? '\\' : c;
  return result;
}

std::string ProgramArgument(int index) {
  if (index >= __argc) return std::string();
  return WindowsPath(__argv[index]);
}

bool ProgramStart(RunningProgram* program, const std::string& path, const char* title) {
  *program = RunningProgram();
  if (!support::ChildStart(&program->child, path, {})) return false;
  program->window = support::ChildWindowAwait(program->child, title);
  if (program->window) program->windowThread = GetWindowThreadProcessId(program->window, nullptr);
  return program->window != nullptr;
}

namespace {

BOOL CALLBACK ChildCollect(HWND child, LPARAM context) {
  reinterpret_cast<std::vector<HWND>*>(context)->push_back(child);
  return TRUE;
}

}  // namespace

std::vector<HWND> ChildControls(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, ChildCollect, reinterpret_cast<LPARAM>(&children));
  return children;
}

std::string ControlText(HWND control) {
  wchar_t text[512] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXT, sizeof text / sizeof text[0], reinterpret_cast<LPARAM>(text),
                           SMTO_ABORTIFHUNG, 2000, &copied))
    return "<no answer>";
  char utf8[sizeof text / sizeof text[0] * 3] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  return utf8;
}

HWND FocusedControl(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

RECT ControlPlacement(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool Activate(HWND window, DWORD timeoutMs) {
  SetForegroundWindow(window);
  return support::PumpUntil([&] { return GetForegroundWindow() == window; }, timeoutMs);
}

bool AwaitText(HWND control, const std::string& expected, DWORD timeoutMs) {
  return support::PumpUntil([&] { return ControlText(control) == expected; }, timeoutMs);
}

bool Await(bool (*condition)(void* context), void* context, DWORD timeoutMs) {
  return support::PumpUntil([&] { return condition(context); }, timeoutMs);
}

void ClearField(int count) {
  support::PressKey(VK_END);
  for (int i = 0; i < count; i++) support::PressKey(VK_BACK);
}

// ---- PNG output: stored (uncompressed) deflate blocks suffice here ----------

namespace {

uint32_t Crc32(const unsigned char* bytes, size_t length, uint32_t crc = 0) {
  static uint32_t table[256];
  if (!table[1]) {
    for (uint32_t n = 0; n < 256; n++) {
      uint32_t c = n;
      for (int k = 0; k < 8; k++) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
  }
  crc = ~crc;
  for (size_t i = 0; i < length; i++) crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void PutBig32(std::string* out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<char>((value >> shift) & 0xFF));
}

void PutChunk(std::string* out, const char* type, const std::string& data) {
  PutBig32(out, static_cast<uint32_t>(data.size()));
  std::string body = std::string(type, 4) + data;
  out->append(body);
  PutBig32(out, Crc32(reinterpret_cast<const unsigned char*>(body.data()), body.size()));
}

std::string PngEncode(int width, int height, const std::vector<unsigned char>& rgbRows) {
  std::string zlib = "\x78\x01";
  size_t total = rgbRows.size(), at = 0;
  do {
    size_t length = total - at > 65535 ? 65535 : total - at;
    bool last = at + length == total;
    zlib.push_back(last ? 1 : 0);
    zlib.push_back(static_cast<char>(length & 0xFF));
    zlib.push_back(static_cast<char>(length >> 8));
    zlib.push_back(static_cast<char>(~length & 0xFF));
    zlib.push_back(static_cast<char>((~length >> 8) & 0xFF));
    zlib.append(reinterpret_cast<const char*>(rgbRows.data()) + at, length);
    at += length;
  } while (at < total);
  uint32_t a = 1, b = 0;
  for (unsigned char byte : rgbRows) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutBig32(&zlib, (b << 16) | a);

  std::string png = "\x89PNG\r\n\x1a\n";
  std::string header;
  PutBig32(&header, static_cast<uint32_t>(width));
  PutBig32(&header, static_cast<uint32_t>(height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, no interlace
  PutChunk(&png, "IHDR", header);
  PutChunk(&png, "IDAT", zlib);
  PutChunk(&png, "IEND", std::string());
  return png;
}

}  // namespace

bool ScreenshotSave(HWND window, const std::string& path) {
  // Painted now, so the picture shows what the fields hold; sent messages
  // make this wait until the program has painted.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  // The whole window: on the test display Wine draws the frame itself.
  RECT rect;
  if (!GetWindowRect(window, &rect)) return false;
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  bool copied = false;
  if (bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    copied = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memory, old);
  }
  std::vector<unsigned char> rows;
  if (copied) {
    const unsigned char* bgra = static_cast<const unsigned char*>(pixels);
    rows.reserve(static_cast<size_t>(height) * (width * 3 + 1));
    for (int y = 0; y < height; y++) {
      rows.push_back(0);  // filter: none
      for (int x = 0; x < width; x++) {
        const unsigned char* pixel = bgra + (static_cast<size_t>(y) * width + x) * 4;
        rows.push_back(pixel[2]);
        rows.push_back(pixel[1]);
        rows.push_back(pixel[0]);
      }
    }
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!copied) return false;
  std::string png = PngEncode(width, height, rows);
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) return false;
  bool written = fwrite(png.data(), 1, png.size(), file) == png.size();
  return fclose(file) == 0 && written;
}

// ---- The utility's fixture ----------------------------------------------

void RfidNummerTest::SetUp() { Start(); }

void RfidNummerTest::TearDown() { Stop(); }

void RfidNummerTest::Start() {
  const char title[] = "RFID Nummer";
  std::string path = ProgramArgument(1);
  ASSERT_FALSE(path.empty()) << "the utility's path must be the first argument";
  ASSERT_TRUE(ProgramStart(&program, path, title)) << "awaited a visible window titled \"" << title << "\" from "
                                                   << path;
  // The window is shown before its controls are made.
  support::PumpUntil([&] { return ChildControls(program.window).size() >= 4; });
  controls = ChildControls(program.window);
  ASSERT_EQ(controls.size(), 4u) << "awaited two labels and two fields";
  numberField = controls[1];
  resultField = controls[3];
  ASSERT_TRUE(Activate(program.window)) << "awaited the utility's window in the foreground";
}

void RfidNummerTest::Stop() {
  if (support::ChildRunning(&program.child)) {
    PostMessageA(program.window, WM_CLOSE, 0, 0);
    support::ChildAwaitExit(&program.child, 10000, "the utility's end on WM_CLOSE");
  }
  support::ChildEnd(&program.child);
  program = RunningProgram();
}

void RfidNummerTest::ClickInto(HWND field) {
  // A program that has only just come to the foreground may miss a first
  // click; a few bounded attempts.
  bool focused = false;
  for (int attempt = 0; attempt < 3 && !focused; attempt++) {
    support::ClickWindow(field);
    focused = support::PumpUntil([&] { return FocusedControl(program.window) == field; }, 2000);
  }
  ASSERT_TRUE(focused) << "awaited the focus in the clicked field";
}

}  // namespace e2e
