#!/usr/bin/env bash
# Pictures of the milling road for review: the contour operation's tool,
# chain and contour pages, the pocket and drilling pages, and the main
# window with the operations tree after the three were calculated, written
# into the folder given (default: shots/ in the project folder).
#
#   scripts/shots/milling.sh [folder]
#
# Builds the OpenGL test binary when needed and runs its picture test under
# a virtual display (common.sh).
source "$(dirname "$0")/common.sh"
shoot_gl 'MachiningRoad.DISABLED_ShotsForReview'
ls "$out"/milling-*.png
