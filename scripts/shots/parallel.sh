#!/usr/bin/env bash
# Pictures of the 3D parallel finishing road for review: its stock-limit and
# parallel pages over an opened STL surface, the main window with the stock
# widened by a margin, and the main window with the calculated path,
# written into the folder given (default: shots/ in the project folder).
#
#   scripts/shots/parallel.sh [folder]
#
# Builds the OpenGL test binary when needed and runs its picture test under
# a virtual display (common.sh).
source "$(dirname "$0")/common.sh"
shoot_gl 'MachiningRoad.DISABLED_ParallelShotsForReview'
ls "$out"/parallel-*.png
