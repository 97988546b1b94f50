#!/usr/bin/env bash
# Checks the packages that scripts/release made, as a user meets them:
# - the Debian package: its name, version and the library dependencies dpkg-shlibdeps
#   found; unpacked into a throw-away root, every program answers --version and --help,
#   carries no symbols or debug information and passes hardening-check;
# - both ZIPs: every program and guide is there, each executable imports only DLLs of
#   Windows itself, has ASLR (DYNAMIC_BASE, and HIGH_ENTROPY_VA on x86_64) and DEP
#   (NX_COMPAT) and no symbols; the x86_64 programs answer --version and --help under Wine.
#
# Usage: tests/release/check_packages.sh PACKAGE_DIR
# Prints one line per check ("ok: ..." or "FAIL: ...") and ends with
# "check_packages: N passed, M failed". Exit status: 0 every check passed, 1 a check
# failed, 2 a wrong command line.
set -uo pipefail

if [[ $# -ne 1 || ! -d "$1" ]]; then
  sed -n '10,13p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
fi
packages=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
version=$(sed -nE 's/^project\(KelvPersonal VERSION ([0-9.]+).*/\1/p' "$root/CMakeLists.txt")
programs=(Actualizador empaquetar confbase acc2tsql kelvftp)
guides=(README.md actualizador.md empaquetar.md confbase.md acc2tsql.md kelvftp.md)

# DLLs that come with every Windows (7 and later); anything else would have to be shipped.
system_dlls=" advapi32.dll bcrypt.dll comctl32.dll comdlg32.dll crypt32.dll dwmapi.dll
  gdi32.dll imm32.dll kernel32.dll msvcrt.dll odbc32.dll ole32.dll oleaut32.dll psapi.dll
  secur32.dll shell32.dll shlwapi.dll user32.dll uxtheme.dll version.dll winmm.dll
  wininet.dll ws2_32.dll "

work=$(mktemp -d "${TMPDIR:-/tmp}/kelv-packages.XXXXXX")
wine_prefix="$work/wineprefix"
cleanup() {
  if [[ -d "$wine_prefix" ]]; then
    WINEPREFIX="$wine_prefix" wineserver -k >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

passed=0
failed=0
pass() { echo "ok: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
# check DESCRIPTION COMMAND...: one check that passes when COMMAND succeeds.
check() {
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

# answers NAME EXPECTED COMMAND...: COMMAND prints exactly EXPECTED (CR removed) and ends
# with status 0.
answers() {
  local name=$1 expected=$2 out rc=0
  shift 2
  out=$(KELV_NO_UI=1 timeout 60 "$@" </dev/null 2>&1) || rc=$?
  out=${out//$'\r'/}
  if ((rc == 0)) && [[ "$out" == "$expected" ]]; then
    pass "$name"
  else
    fail "$name: status $rc, said: ${out:0:300}"
  fi
}

# helps NAME COMMAND...: COMMAND prints a usage text and ends with status 0.
helps() {
  local name=$1 out rc=0
  shift
  out=$(KELV_NO_UI=1 timeout 60 "$@" </dev/null 2>&1) || rc=$?
  if ((rc == 0)) && grep -qi 'usage' <<<"$out"; then
    pass "$name"
  else
    fail "$name: status $rc, said: ${out:0:300}"
  fi
}

no_debug_sections() { ! "$1" -h "$2" | grep -q ' \.debug'; }

# ---- Debian package ---------------------------------------------------------------------
deb="$packages/kelv-personal_${version}_$(dpkg --print-architecture).deb"
if [[ -f "$deb" ]]; then
  pass "deb: $(basename "$deb") is there"
  check "deb: package name" test "$(dpkg-deb -f "$deb" Package)" = kelv-personal
  check "deb: version $version" test "$(dpkg-deb -f "$deb" Version)" = "$version"
  depends=$(dpkg-deb -f "$deb" Depends)
  for lib in libc6 libstdc++6 libodbc2 libcurl4 libfltk1.3; do
    check "deb: depends on $lib" grep -q "\b$lib\b" <<<"$depends"
  done
  check "deb: every file belongs to root" \
    bash -c '! dpkg-deb -c "$1" | grep -v " root/root "' _ "$deb"
  sysroot="$work/deb-root"
  dpkg -x "$deb" "$sysroot"
  for g in "${guides[@]}"; do
    check "deb: /usr/share/doc/kelv-personal/$g" test -s "$sysroot/usr/share/doc/kelv-personal/$g"
  done
  for p in "${programs[@]}"; do
    bin="$sysroot/usr/bin/$p"
    if [[ ! -x "$bin" ]]; then
      fail "deb: /usr/bin/$p is missing"
      continue
    fi
    answers "deb: $p --version" "$p $version" "$bin" --version
    helps "deb: $p --help" "$bin" --help
    check "deb: $p has no debug information" no_debug_sections objdump "$bin"
    check "deb: $p has no symbol table" bash -c 'objdump --syms "$1" | grep -q "no symbols"' _ "$bin"
    # No program linked on Debian 12 carries the control-flow protection marking (the C
    # library's start-up files lack it), so that one check is left out.
    if report=$(hardening-check --nocfprotection "$bin" 2>&1); then
      pass "deb: $p passes hardening-check"
    else
      fail "deb: $p fails hardening-check:"
      echo "$report"
    fi
  done
else
  fail "deb: $deb is missing"
fi

# ---- Windows ZIPs -------------------------------------------------------------------------
# pe_checks ARCH EXE: the imports, ASLR, DEP and stripping of one Windows executable.
pe_checks() {
  local arch=$1 exe=$2 name headers dll bad=""
  local objdump=$arch-w64-mingw32-objdump
  name="$arch: $(basename "$exe")"
  headers=$("$objdump" -p "$exe")
  while read -r dll; do
    [[ "$system_dlls" == *" ${dll,,} "* || "${dll,,}" == api-ms-win-* ]] || bad+=" $dll"
  done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
  if [[ -z "$bad" ]]; then
    pass "$name imports only Windows DLLs ($(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr '\n' ' '))"
  else
    fail "$name imports DLLs that are not part of Windows:$bad"
  fi
  local flags=(DYNAMIC_BASE NX_COMPAT)
  [[ "$arch" == x86_64 ]] && flags+=(HIGH_ENTROPY_VA)
  for flag in "${flags[@]}"; do
    check "$name has $flag" grep -Eq "^[[:space:]]+$flag\$" <<<"$headers"
  done
  check "$name has no debug information" no_debug_sections "$objdump" "$exe"
  check "$name has no symbol table" grep -q 'symbols stripped' <<<"$headers"
}

for arch in i686 x86_64; do
  zip="$packages/kelv-personal-$version-$arch.zip"
  if [[ ! -f "$zip" ]]; then
    fail "$arch: $zip is missing"
    continue
  fi
  pass "$arch: $(basename "$zip") is there"
  unzip -q "$zip" -d "$work/$arch"
  top="$work/$arch/kelv-personal-$version-$arch"
  for g in "${guides[@]}"; do
    check "$arch: docs/$g" test -s "$top/docs/$g"
  done
  for p in "${programs[@]}"; do
    if [[ -f "$top/$p.exe" ]]; then
      pe_checks "$arch" "$top/$p.exe"
    else
      fail "$arch: $p.exe is missing"
    fi
  done
done

# The x86_64 programs run under Wine, in a prefix of their own.
top="$work/x86_64/kelv-personal-$version-x86_64"
if [[ -d "$top" ]]; then
  wine=$(command -v wine || command -v wine64)
  export WINEPREFIX="$wine_prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if "$wine" wineboot -i >/dev/null 2>&1; then
    for p in "${programs[@]}"; do
      [[ -f "$top/$p.exe" ]] || continue
      answers "x86_64 under Wine: $p --version" "$p $version" "$wine" "$top/$p.exe" --version
      helps "x86_64 under Wine: $p --help" "$wine" "$top/$p.exe" --help
    done
  else
    fail "x86_64: Wine could not make a prefix"
  fi
fi

echo "check_packages: $passed passed, $failed failed"
((failed == 0))
