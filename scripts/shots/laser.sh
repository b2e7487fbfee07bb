#!/usr/bin/env bash
# Pictures of the laser page sets for review: the engraving, cut and pocket
# operations of a document opened from the operations tree, every page of
# each, written into the folder given (default: shots/ in the project
# folder).
#
#   scripts/shots/laser.sh [folder]
#
# Builds the OpenGL test binary when needed and runs its picture test under
# a virtual display (common.sh).
source "$(dirname "$0")/common.sh"
shoot_gl 'LaserRoad.DISABLED_ShotsForReview'
ls "$out"/laser-*.png
