#!/usr/bin/env bash
# Pictures of the walk from a drawing to G-code for review: the pick box of
# a chain pick, the picked chain, a calculated toolpath before and after a
# redraw, the Machining menu with its commands, Zoom all on a tall drawing
# and on a solid in the iso view, and the 3D stock over the surface,
# written into the folder given (default: shots/ in the project folder).
#
#   scripts/shots/new-user-walk.sh [folder]
#
# Builds the OpenGL test binary when needed and runs its picture test under
# a virtual display (common.sh).
source "$(dirname "$0")/common.sh"
shoot_gl 'NewUserWalk.DISABLED_ShotsForReview'
ls "$out"/walk-*.png
