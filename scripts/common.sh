# Shared by the scripts: build trees, and an X display plus a Wine server
# for running the Windows programs. Source it; do not run it.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"
JOBS=$(nproc 2>/dev/null || echo 2)

export WINEPREFIX="${ZEL_WINEPREFIX:-$BUILD/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono/Gecko install prompts
source "$ROOT/cmake/wine-path.sh"

# zel_build_native [DIR [TARGET...]], zel_build_windows [DIR [TARGET...]] and
# zel_build_windows_clang [DIR [TARGET...]]: configure and build a tree
# (default build/native, build/windows, build/windows-clang); without
# targets, everything. The Clang tree is built and tested only: the
# packages come from the GCC tree.
zel_build_tree() {
  local dir="$1"
  shift
  local configure=()
  while [[ $# -gt 0 && "$1" != -- ]]; do configure+=("$1"); shift; done
  shift
  cmake -S "$ROOT" -B "$dir" "${configure[@]}" >/dev/null
  if [[ $# -gt 0 ]]; then
    cmake --build "$dir" -j "$JOBS" --target "$@"
  else
    cmake --build "$dir" -j "$JOBS"
  fi
}
zel_build_native() {
  zel_build_tree "${1:-$BUILD/native}" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -- "${@:2}"
}
zel_build_windows() {
  zel_build_tree "${1:-$BUILD/windows}" -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" -- "${@:2}"
}
zel_build_windows_clang() {
  zel_build_tree "${1:-$BUILD/windows-clang}" -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/clang-mingw-w64-x86_64.cmake" -- "${@:2}"
}

# Starts Xvfb on a free display (unless ZEL_KEEP_DISPLAY=1 and DISPLAY is
# set) and a persistent wineserver; zel_stop_display undoes both.
ZEL_XVFB_PID=""
zel_start_display() {
  if [[ "${ZEL_KEEP_DISPLAY:-0}" != 1 || -z "${DISPLAY:-}" ]]; then
    local n=91
    while [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    ZEL_XVFB_PID=$!
    export DISPLAY=":$n"
    local tries=0
    until [[ -e /tmp/.X11-unix/X$n ]]; do
      sleep 0.1
      tries=$((tries + 1))
      if [[ $tries -gt 100 ]]; then echo "Xvfb did not start on :$n" >&2; return 1; fi
    done
  fi
  zel_prefix_start
  # A private display has no window manager: Wine draws the frames itself,
  # title bar and buttons included, as Windows would, and does not wait for
  # one to withdraw a window it destroys.
  zel_prefix_frames N
}

# Fonts as on Windows: Wine does not use its own fonts (Tahoma, Marlett, ...)
# until they lie in the prefix's Fonts folder; without them the system font
# falls back to a wider face and the window's labels wrap.
WINE_FONTS=/usr/share/wine/fonts
zel_prefix_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  local font
  for font in "$WINE_FONTS"/*.ttf; do
    [[ -e "$font" ]] || continue
    [[ -f "$fonts/${font##*/}" ]] || cp "$font" "$fonts/"
  done
  [[ -f "$fonts/tahoma.ttf" ]] || { echo "no tahoma.ttf in $WINE_FONTS (package fonts-wine)" >&2; return 1; }
}

# Prepares the prefix (fonts first, so that no program ever starts without
# them) and a persistent wineserver for it.
zel_prefix_start() {
  zel_prefix_fonts
  wineserver -p >/dev/null 2>&1 || true
  # wineboot starts Wine's background services here, detached from our
  # output: started by the first test program instead, they would inherit
  # CTest's pipes and CTest would wait for them until its timeout.
  if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    timeout 120 "$WINE64" wineboot --init >/dev/null 2>&1 </dev/null || true
  else
    timeout 60 "$WINE64" wineboot >/dev/null 2>&1 </dev/null || true
  fi
}

# zel_prefix_frames N: no window manager; Wine draws window frames itself
# and does not wait for one to withdraw a destroyed window (without that,
# every DestroyWindow of a top-level window waits 2 s for it);
# zel_prefix_frames Y: the desktop's window manager manages and draws them
# (the default). The tests and run.sh on a desktop share one prefix, so both
# values are set and removed together.
zel_prefix_frames() {
  local key='HKCU\Software\Wine\X11 Driver' value
  for value in Decorated Managed; do
    if [[ "$1" == N ]]; then
      "$WINE64" reg add "$key" /v "$value" /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
    else
      "$WINE64" reg delete "$key" /v "$value" /f >/dev/null 2>&1 </dev/null || true
    fi
  done
}

zel_stop_display() {
  wineserver -k >/dev/null 2>&1 || true
  if [[ -n "$ZEL_XVFB_PID" ]]; then
    kill "$ZEL_XVFB_PID" >/dev/null 2>&1 || true
    wait "$ZEL_XVFB_PID" 2>/dev/null || true
    ZEL_XVFB_PID=""
  fi
}

# zel_sample_picture PNG: with rfidnummer.exe running on $DISPLAY (a private
# one, frames drawn by Wine), types the sample number into it, leaves the
# field and saves the window with its frame as PNG. Prints the code shown.
ZEL_WINDOW_TITLE="RFID Nummer"
zel_sample_picture() {
  local png="$1"
  # Through a file: a process Wine starts in the background could inherit
  # a pipe and hold it open long after the helper has ended.
  local out="$BUILD/sample_input.out"
  "$WINE64" "$BUILD/windows/tools/sample_input.exe" "$ZEL_WINDOW_TITLE" 12345678 >"$out" </dev/null || return 1
  # Taken until two pictures in a row agree, so that none catches the
  # window half drawn.
  local previous="" current tries=0
  while :; do
    import -window "$ZEL_WINDOW_TITLE" "$png"
    current=$(convert "$png" rgb:- | md5sum)
    [[ "$current" == "$previous" ]] && break
    previous="$current"
    tries=$((tries + 1))
    [[ $tries -lt 20 ]] || { echo "the window's picture did not settle" >&2; return 1; }
  done
  tr -d '\r' <"$out"
}
