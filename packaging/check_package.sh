#!/usr/bin/env bash
# Builds the Debian package from a finished build, unpacks it into a scratch root and checks what a user and a
# packager get: the file list, a manual page for every program, the dependencies dpkg-shlibdeps found, lintian's
# verdict, the distribution's hardening in the installed programs, and that the installed programs answer
# --version and --help without a display.
set -euo pipefail
build=$1
version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 || {
  cat "$scratch/cpack.log"; exit 1; }
deb=$(ls "$scratch"/out/*.deb)
dpkg-deb -x "$deb" "$scratch/root"
root=$scratch/root

fail=0
for f in usr/bin/dashcam-setting usr/bin/dashcam-cfg usr/bin/dashcam-open-card usr/bin/dashcam-cfg-desktop \
         usr/share/applications/com.kestravon.DashcamSetting.desktop \
         usr/share/metainfo/com.kestravon.DashcamSetting.metainfo.xml \
         usr/share/icons/hicolor/16x16/apps/dashcam-setting.png \
         usr/share/icons/hicolor/48x48/apps/dashcam-setting.png \
         usr/share/icons/hicolor/256x256/apps/dashcam-setting.png \
         usr/share/doc/dashcam-setting/copyright usr/share/doc/dashcam-setting/changelog.gz \
         usr/share/bash-completion/completions/dashcam-cfg; do
  if [ ! -s "$root/$f" ]; then echo "missing or empty in the package: /$f"; fail=1; fi
done
for program in "$root"/usr/bin/*; do
  page=usr/share/man/man1/$(basename "$program").1.gz
  gzip -t "$root/$page" 2>/dev/null || { echo "no manual page /$page"; fail=1; }
done
# Nothing outside /usr, and nothing of the build's own (headers, static libraries, test programs).
if extra=$(cd "$root" && find . -type f ! -path './usr/*' -o -type f -name '*.a' -o -type f -name '*_tests'); \
   [ -n "$extra" ]; then echo "unexpected files: $extra"; fail=1; fi

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libqt6widgets6 libqt6core6; do
  case "$depends" in *"$lib"*) ;; *) echo "Depends lacks $lib: $depends"; fail=1 ;; esac
done

# lintian's errors and warnings fail the test; its pedantic and informational remarks are shown.
if command -v lintian >/dev/null; then
  lintian --pedantic --display-info --fail-on error,warning "$deb" >"$scratch/lintian.log" 2>&1 || {
    echo "lintian:"; cat "$scratch/lintian.log"; fail=1; }
else
  echo "lintian is not installed (scripts/setup-deps)"; fail=1
fi

# The distribution's hardening, read from the installed programs: position-independent, relocations read-only
# and bound at load, stack protector, fortified libc calls.
for program in "$root"/usr/bin/*; do
  name=$(basename "$program")
  headers=$(readelf -hldW "$program")
  imports=$(readelf --dyn-syms -W "$program" | awk '$7 == "UND" {print $8}')
  grep -q 'Type: *DYN' <<<"$headers" || { echo "$name is not position-independent"; fail=1; }
  grep -q 'GNU_RELRO' <<<"$headers" || { echo "$name has no read-only relocations (relro)"; fail=1; }
  grep -Eq '\(BIND_NOW\)|\(FLAGS_1\).*NOW' <<<"$headers" || { echo "$name is not bound at load (now)"; fail=1; }
  grep -q '^__stack_chk_fail' <<<"$imports" || { echo "$name has no stack protector"; fail=1; }
  grep -Eq '^__[a-z0-9_]+_chk(@|$)' <<<"$imports" || { echo "$name calls no fortified libc function"; fail=1; }
done

# The programs' own answers, with no display to be had.
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
for program in dashcam-cfg dashcam-setting dashcam-open-card; do
  got=$("${nodisplay[@]}" "$root/usr/bin/$program" --version 2>&1) ||
    { echo "installed $program --version failed: $got"; fail=1; }
  [ "$got" = "$program $version" ] || { echo "installed $program --version said: $got"; fail=1; }
done
for program in dashcam-setting dashcam-open-card; do
  got=$("${nodisplay[@]}" "$root/usr/bin/$program" --help 2>/dev/null) ||
    { echo "installed $program --help failed"; fail=1; }
  [[ "$got" == "Usage: $program"* ]] || { echo "installed $program --help said: $got"; fail=1; }
done
exit $fail
