#!/usr/bin/env bash
# Builds the Debian package from a finished build, unpacks it into a scratch root and checks what a user gets:
# the file list, the dependencies dpkg-shlibdeps found, and that the installed dashcam-cfg runs.
set -euo pipefail
build=$1
version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 || {
  cat "$scratch/cpack.log"; exit 1; }
deb=$(ls "$scratch"/out/*.deb)
dpkg-deb -x "$deb" "$scratch/root"

fail=0
for f in usr/bin/dashcam-setting usr/bin/dashcam-cfg usr/bin/dashcam-open-card \
         usr/share/applications/com.kestravon.DashcamSetting.desktop \
         usr/share/metainfo/com.kestravon.DashcamSetting.metainfo.xml \
         usr/share/icons/hicolor/16x16/apps/dashcam-setting.png \
         usr/share/icons/hicolor/48x48/apps/dashcam-setting.png \
         usr/share/icons/hicolor/256x256/apps/dashcam-setting.png \
         usr/share/man/man1/dashcam-setting.1 usr/share/man/man1/dashcam-cfg.1 \
         usr/share/bash-completion/completions/dashcam-cfg; do
  if [ ! -s "$scratch/root/$f" ]; then echo "missing or empty in the package: /$f"; fail=1; fi
done
# Nothing outside /usr, and nothing of the build's own (headers, static libraries, test programs).
if extra=$(cd "$scratch/root" && find . -type f ! -path './usr/*' -o -type f -name '*.a' -o -type f -name '*_tests'); \
   [ -n "$extra" ]; then echo "unexpected files: $extra"; fail=1; fi

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libqt6widgets6 libqt6core6; do
  case "$depends" in *"$lib"*) ;; *) echo "Depends lacks $lib: $depends"; fail=1 ;; esac
done

got=$("$scratch/root/usr/bin/dashcam-cfg" --version)
[ "$got" = "dashcam-cfg $version" ] || { echo "installed dashcam-cfg --version said: $got"; fail=1; }
exit $fail
