#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# An install into a staging folder: the layout, the programs' own library
# found through their RUNPATH, and the installed clock finding its helper
# below libexec, not beside the build.
BIN=${1:?usage: $0 BIN_DIR}
source "$(dirname "$0")/lib.sh"
BUILD=$(cd "$BIN/.." && pwd)
ROOT="$WORK/root"

DESTDIR="$ROOT" cmake --install "$BUILD" --prefix /usr >"$WORK/install.log" 2>&1 ||
    fail "install: $(tail -5 "$WORK/install.log")"
usr="$ROOT/usr"
for file in bin/tavlo-clock bin/tavlo-photos bin/tavloreg lib/tavlo/libtavlo.so \
    libexec/tavlo/tavlo-fetch share/applications/com.orvane.TavloClock.desktop \
    share/metainfo/com.orvane.TavloTimer.metainfo.xml \
    share/icons/hicolor/scalable/apps/com.orvane.TavloNotes.svg \
    share/icons/hicolor/16x16/apps/com.orvane.TavloClock.png \
    share/icons/hicolor/256x256/apps/com.orvane.TavloPhotos.png \
    share/man/man1/tavlo-clock.1.gz share/man/man1/tavloreg.1.gz \
    share/bash-completion/completions/tavloreg; do
    [ -e "$usr/$file" ] || fail "not installed: $file"
done
[ ! -e "$usr/bin/tavlo-fetch" ] || fail "the helper is on the PATH"
pass "installed layout"

for program in "$usr"/bin/tavlo-*; do
    runpath=$(readelf -d "$program" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
    [ "$runpath" = '$ORIGIN/../lib/tavlo' ] || fail "$(basename "$program") RUNPATH: '$runpath'"
done
lib=$(ldd "$usr/bin/tavlo-clock" | awk '/libtavlo\.so/ { print $3 }')
[ "$lib" -ef "$usr/lib/tavlo/libtavlo.so" ] || fail "libtavlo resolves to '$lib'"
pass "programs find their library in the installed tree"

# A stand-in helper notes that it was started, then does the real work.
helper="$usr/libexec/tavlo/tavlo-fetch"
mv "$helper" "$helper.real"
printf '#!/bin/sh\necho "$0" >"%s"\nexec "$0.real" "$@"\n' "$WORK/helper-started" >"$helper"
chmod +x "$helper"

start_x
start_app "$usr/bin/tavlo-clock"
wait_window fapp_CLOCK >/dev/null || fail "the installed clock shows no window: $(cat "$WORK/app.log")"
wait_until 10 test -s "$WORK/helper-started" || fail "the installed clock did not start its helper"
[ "$(cat "$WORK/helper-started")" -ef "$helper" ] || fail "helper run: $(cat "$WORK/helper-started")"
pass "the installed clock runs and starts its helper from libexec"
