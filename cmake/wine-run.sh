#!/bin/sh
# Runs a Windows test program under Wine. Standard input comes from /dev/null: with an inherited pipe,
# CMake's timed process runs (test discovery) wait for Wine's service processes that keep it open.
exec wine "$@" </dev/null
