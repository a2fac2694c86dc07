#!/usr/bin/env bash
# The MSI test: under Wine, in a prefix of its own (a copy of the test
# prefix, with its fonts and frame settings), as an IT department uses the
# package:
#   1. silent install of VERSION: the files, the Start-menu shortcut, the
#      folder on the system PATH (cardcode works in a new cmd), the
#      uninstall entry; the installed rfidnummer.exe converts and closes
#      with exit code 0 (the end-to-end program drives it);
#   2. the next version, made here from the same files, upgrades it in
#      place: one entry afterwards;
#   3. the older one is refused with its German message and changes nothing;
#   4. silent uninstall: no file, shortcut, PATH entry or entry left.
# Prints the package size and the install and uninstall times.
#   msi-check.sh WORK VERSION HOLDER COMMIT_FILE WXS E2E_PROGRAM FILE...
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-path.sh"
work=$1 version=$2 holder=$3 commit_file=$4 wxs=$5 e2e=$6
shift 6
files=$(IFS=';'; echo "$*")
[[ -n "${WINEPREFIX:-}" && -d "$WINEPREFIX/drive_c" ]] || { echo "no test prefix (WINEPREFIX) to copy" >&2; exit 1; }
source_prefix=$WINEPREFIX
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

rm -rf "$work"
mkdir -p "$work"
IFS=. read -r major minor patch <<<"$version"
next="$major.$minor.$((patch + 1))"
make_msi() {
  cmake "-DOUT=$work/rfidnummer-$1.msi" "-DVERSION=$1" "-DHOLDER=$holder" "-DCOMMIT_FILE=$commit_file" \
    "-DWXS=$wxs" "-DFILES=$files" -P "$here/MakeMsi.cmake" >/dev/null
}
make_msi "$version"
make_msi "$next"
echo "rfidnummer-$version.msi: $(stat -c %s "$work/rfidnummer-$version.msi") bytes"

# A full copy: hard links would be cheaper, but Wine rewrites its system
# folder in place when it brings a prefix up to date, and the test prefix's
# programs would break in the middle of the run.
export WINEPREFIX="$work/prefix"
cp -a "$source_prefix" "$WINEPREFIX"
rm -f "$WINEPREFIX/wineserver"
export WINEDEBUG=-all
# No desktop entries in the user's home for the test's shortcut.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wineserver -p >/dev/null 2>&1 || true
wine() { timeout 120 "$WINE64" "$@" </dev/null; }
# A prefix still running may not have written its registry yet (a new one
# none at all): then Wine's setup runs once more in the copy.
if ! grep -qs ProgramFilesDir "$WINEPREFIX/system.reg"; then
  echo "the test prefix had not yet written its registry: Wine's setup runs again in the copy"
  wine wineboot -u >/dev/null 2>&1 || true
fi
for value in Decorated Managed; do
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v "$value" /t REG_SZ /d N /f >/dev/null 2>&1
done

folder="$WINEPREFIX/drive_c/Program Files/RFID Nummer"
# Windows puts a per-machine package's shortcut into the Start menu of all
# users; Wine 8 into the installing user's.
menus=("$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
       "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/"Start Menu"/Programs)
shortcut() { local menu; for menu in "${menus[@]}"; do [[ -f "$menu/RFID Nummer.lnk" ]] && echo "$menu/RFID Nummer.lnk"; done; true; }
environment='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
installed_files="rfidnummer.exe cardcode.exe LIESMICH.txt Kurzanleitung.txt LICENSE.txt"
windows_folder='C:\Program Files\RFID Nummer\'

seconds() { date +%s.%N; }
msiexec() {  # msiexec /i|/x NAME LOG: prints the exit code
  local status=0
  wine msiexec "$1" "Z:${work//\//\\}\\$2" /qn /l*v "Z:${work//\//\\}\\$3" >/dev/null 2>&1 || status=$?
  echo "$status"
}
path_value() { wine reg query "$environment" /v PATH 2>/dev/null | tr -d '\r' | sed -n 's/^ *PATH *REG_[A-Z_]* *//p'; }
# The PATH's entries, without empty ones: removing an appended entry, Wine 8
# leaves its separator behind (Windows removes it too).
path_entries() { path_value | tr ';' '\n' | sed '/^$/d'; }
# The entries whose DisplayName is RFID Nummer: "key|version|publisher".
entries() {
  wine reg query "$uninstall" /s 2>/dev/null | tr -d '\r' | awk '
    /^HKEY_/ { if (name == "RFID Nummer") print key "|" ver "|" pub; key = $0; name = ver = pub = "" }
    $1 == "DisplayName" { sub(/^ *DisplayName *REG_SZ */, ""); name = $0 }
    $1 == "DisplayVersion" { sub(/^ *DisplayVersion *REG_SZ */, ""); ver = $0 }
    $1 == "Publisher" { sub(/^ *Publisher *REG_SZ */, ""); pub = $0 }
    END { if (name == "RFID Nummer") print key "|" ver "|" pub }'
}
log_text() { iconv -f UTF-16LE -t UTF-8 "$work/$1" 2>/dev/null || cat "$work/$1"; }
path_before=$(path_value)
entries_before=$(path_entries)

# 1. Install.
start=$(seconds)
status=$(msiexec /i "rfidnummer-$version.msi" install.log)
install_time=$(echo "$(seconds) - $start" | bc)
[[ $status == 0 ]] || fail "install of $version: msiexec exit $status"
for file in $installed_files; do
  [[ -s "$folder/$file" ]] || fail "not installed: $file"
done
cmp -s "$folder/rfidnummer.exe" "${files%%;*}" || fail "the installed rfidnummer.exe is not the built one"
link=$(shortcut)
if [[ -z "$link" ]]; then
  fail "no Start-menu shortcut \"RFID Nummer\""
else
  grep -qa "${windows_folder//\\/\\\\}rfidnummer.exe" "$link" || fail "the shortcut does not start the installed rfidnummer.exe"
  # No icon of its own, so the program's icon: a different one would be named.
  ! grep -qa '\.ico' "$link" || fail "the shortcut has an icon other than the program's"
fi
[[ "$(path_entries)" == "$entries_before"$'\n'"$windows_folder" ]] ||
  fail "PATH after install is \"$(path_value)\", expected \"$path_before;$windows_folder\""
code=$(wine cmd /c cardcode 12345678 2>&1 | tr -d '\r')
[[ "$code" == "1D 00BC614E 2" ]] || fail "cardcode in a new cmd printed \"$code\""
list=$(entries)
[[ "$list" == *"|$version|$holder" && $(wc -l <<<"$list") == 1 ]] ||
  fail "uninstall entries after install: \"$list\", expected one of $version by $holder"
# The entry's icon: Add/Remove Programs takes an MSI product's icon from its
# registration, a copy of the program icon.
product=${list%%|*}
product=${product##*\\}
icon=$(wine reg query 'HKLM\Software\Classes\Installer\Products' /s 2>/dev/null | tr -d '\r' |
       sed -n 's/^ *ProductIcon *REG_SZ *//p' | grep -F "$product" || true)
icon_file="$WINEPREFIX/drive_c/${icon#C:\\}"
icon_file=${icon_file//\\//}
cmp -s "$icon_file" "$(tr ';' '\n' <<<"$files" | grep 'rfidnummer\.ico$')" ||
  fail "the uninstall entry has not the program's icon (ProductIcon \"$icon\")"
# The installed program, driven as a person would: converts and closes
# with exit code 0.
if ! timeout 120 "$WINE64" "$e2e" "${windows_folder}rfidnummer.exe" "$work" \
    --gtest_filter='RfidNummerTest.TypingANumberAndClickingIntoTheResultShowsItsCode:RfidNummerTest.ClosingEndsTheProcessWithCodeZero' \
    </dev/null >"$work/e2e.txt" 2>&1; then
  fail "the installed rfidnummer.exe did not pass the end-to-end cases:"
  cat "$work/e2e.txt" >&2
fi

# 2. Upgrade in place.
status=$(msiexec /i "rfidnummer-$next.msi" upgrade.log)
[[ $status == 0 ]] || fail "upgrade to $next: msiexec exit $status"
list=$(entries)
[[ "$list" == *"|$next|$holder" && $(wc -l <<<"$list") == 1 ]] ||
  fail "uninstall entries after the upgrade: \"$list\", expected one of $next"
[[ "$(path_entries)" == "$entries_before"$'\n'"$windows_folder" ]] || fail "PATH after the upgrade is \"$(path_value)\""
for file in $installed_files; do
  [[ -s "$folder/$file" ]] || fail "missing after the upgrade: $file"
done

# 3. An older version is refused and changes nothing. Windows shows the
# launch condition's German text; with /qn, Wine's log has only the
# condition's failure, so the text is checked in the package.
status=$(msiexec /i "rfidnummer-$version.msi" downgrade.log)
# 1603, the installation failed; a Unix exit status keeps its low 8 bits.
[[ $status == $((1603 % 256)) ]] || fail "the older $version over $next: msiexec exit $status, expected 1603 (67)"
log_text downgrade.log | grep -q "WIX_DOWNGRADE_DETECTED = {" || fail "the newer version was not detected"
log_text downgrade.log | grep -q "LaunchConditions. Return value 0" || fail "the launch condition did not stop it"
msiinfo export "$work/rfidnummer-$version.msi" LaunchCondition | tr -d '\r' |
  grep -q $'^NOT WIX_DOWNGRADE_DETECTED\tEine neuere Version von RFID Nummer ist bereits installiert. Es wurde nichts geändert.$' ||
  fail "the package has not the German refusal"
[[ "$(entries)" == "$list" ]] || fail "the refused downgrade changed the entries: \"$(entries)\""
for file in $installed_files; do
  [[ -s "$folder/$file" ]] || fail "missing after the refused downgrade: $file"
done

# 4. Uninstall leaves nothing.
start=$(seconds)
status=$(msiexec /x "rfidnummer-$next.msi" uninstall.log)
uninstall_time=$(echo "$(seconds) - $start" | bc)
[[ $status == 0 ]] || fail "uninstall: msiexec exit $status"
[[ ! -e "$folder" ]] || fail "left behind: $(ls -A "$folder" | tr '\n' ' ')(or the folder)"
[[ -z "$(shortcut)" ]] || fail "the shortcut is left: $(shortcut)"
[[ "$(path_entries)" == "$entries_before" ]] || fail "PATH after uninstall is \"$(path_value)\", was \"$path_before\""
code=$(wine cmd /c cardcode 12345678 2>&1 | tr -d '\r' || true)
[[ "$code" != "1D 00BC614E 2" ]] || fail "cardcode still runs in a new cmd after uninstall"
[[ -z "$(entries)" ]] || fail "uninstall entry left: $(entries)"

printf 'install %.2f s, uninstall %.2f s\n' "$install_time" "$uninstall_time"
if [[ $failures -gt 0 ]]; then
  echo "$failures check(s) failed; logs in $work" >&2
  exit 1
fi
wineserver -k >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX"
echo "MSI checks passed"
