#!/usr/bin/env bash
# Pictures of the settings for review: every settings sub-page, the post
# choice, the about box and the update window (one PNG each), written into
# the folder given (default:
# shots/ in the project folder).
#
#   scripts/shots/settings.sh [folder]
#
# Builds the OpenGL test binary when needed and runs its picture test under
# a virtual display (common.sh).
source "$(dirname "$0")/common.sh"
shoot_gl 'SettingsWindow.DISABLED_ShotsForReview'
ls "$out"/settings-*.png
