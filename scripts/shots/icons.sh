#!/usr/bin/env bash
# Every image list of the program as one picture, at device pixel ratios 1
# and 2 (icons-dpr1.png, icons-dpr2.png), for review. They are written into
# the folder given (default: shots/ in the project folder).
#
#   scripts/shots/icons.sh [folder]
#
# Builds the widget test binary when needed and runs its contact-sheet test
# on Qt's offscreen platform.
KB_SHOTS_TARGET=kb_app_tests source "$(dirname "$0")/common.sh"
KB_SHOTS_DIR="$out" QT_QPA_PLATFORM=offscreen build-test/bin/kb_app_tests \
  --gtest_also_run_disabled_tests --gtest_filter='ImageLists.DISABLED_ContactSheet'
ls "$out"/icons-dpr*.png
