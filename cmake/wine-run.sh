#!/bin/sh
# Runs a Windows test program under Wine. Wine's 64-bit loader starts both widths: a 64-bit program in place,
# a 32-bit one by handing it to the 32-bit loader, so a 64-bit test never starts 32-bit code (which may run
# only by emulation, about a minute a start). Standard input comes from /dev/null: with an inherited pipe,
# CMake's timed process runs (test discovery) wait for Wine's service processes that keep it open.
loader=/usr/lib/wine/wine64
[ -x "$loader" ] || loader=wine64
exec "$loader" "$@" </dev/null
