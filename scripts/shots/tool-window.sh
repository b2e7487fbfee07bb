#!/usr/bin/env bash
# Pictures of the tool window for review: one PNG per page set (translate,
# rotate, scale, mirror, offset, explode, statistics, delete small, change
# layer, the two text pages), written into the folder given (default:
# shots/ in the project folder).
#
#   scripts/shots/tool-window.sh [folder]
#
# Builds the OpenGL test binary when needed and runs its picture test under
# a virtual display (common.sh).
source "$(dirname "$0")/common.sh"
shoot_gl 'ToolWindow.DISABLED_ShotsForReview'
ls "$out"/tool-window-*.png
