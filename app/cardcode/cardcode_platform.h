// The few operating-system services cardcode needs, behind one small seam so
// that the rest of the program is plain portable C++ (POSIX and Windows with
// mingw-w64 or MSVC).
//
// Streams are file descriptors, read and written unbuffered: cardcode keeps
// its own buffers, because stdio's fread waits for a full block and would
// hold back a card reader's line until many more had been typed.
// PlatformStart runs first, once. The seam calls nothing else of cardcode
// (cardcode_platform_posix.cpp, cardcode_platform_win32.cpp).
#pragma once

#include <stddef.h>

enum { PLATFORM_STDIN = 0, PLATFORM_STDOUT = 1, PLATFORM_STDERR = 2 };

// Output lines end as text files do on the platform.
#ifdef _WIN32
#define PLATFORM_LINE_END "\r\n"
#else
#define PLATFORM_LINE_END "\n"
#endif

// Binary streams, a closed pipe reported as a write error instead of a
// signal that kills the process, UTF-8 text on a Windows console.
void PlatformStart(void);
#ifdef _WIN32
// The wide arguments of wmain in UTF-8, so that any name the user typed
// arrives unchanged; null when memory is short.
char** PlatformArguments(int argc, wchar_t** wideArgv);
#endif
int PlatformIsTerminal(int descriptor);
// Non-zero when standard input is an interactive console (a person types).
int PlatformInputIsConsole(void);
// Up to length bytes: the count read, 0 at the end of the input, -1 on
// failure with errno set. Interrupted calls are retried.
long PlatformRead(int descriptor, char* bytes, size_t length);
// All length bytes, or -1 with errno set.
int PlatformWrite(int descriptor, const char* bytes, size_t length);
// A descriptor for reading the file named by the UTF-8 path, or -1 with
// errno set.
int PlatformOpenRead(const char* path);
// A new file for writing beside the one named by path (in its folder, so
// that PlatformReplace is a rename there); its name in *temporary, to be
// freed with free; null when path names a device, which is opened
// itself. -1 with errno set, also when path names a folder.
int PlatformCreateBeside(const char* path, char** temporary);
// Puts the file temporary in the place of path, replacing a file there in
// one step. 0, or -1 with errno set.
int PlatformReplace(const char* temporary, const char* path);
void PlatformRemove(const char* path);
// 0, or -1 with errno set (a file's last writes may fail only here).
int PlatformClose(int descriptor);
// The reason for the failure that set errno to error, in German: the
// system's own text on Windows (in the user's language).
const char* PlatformErrorText(int error);
