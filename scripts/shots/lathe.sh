#!/usr/bin/env bash
# Pictures of the lathe pages for review: a finishing and a roughing
# operation opened from the operations tree, each page of their sets (tool
# list, chains, the operation's page), written into the folder given
# (default: shots/ in the project folder).
#
#   scripts/shots/lathe.sh [folder]
#
# Builds the OpenGL test binary when needed and runs its picture test under
# a virtual display (common.sh).
source "$(dirname "$0")/common.sh"
shoot_gl 'LatheRoad.DISABLED_ShotsForReview'
ls "$out"/lathe-*.png
