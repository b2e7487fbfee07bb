#!/usr/bin/env bash
# Pictures of the letters page for review: a letters operation's letters
# tab with a text applied, the main window after its Calculate, the label
# command's page with a second row added, and the drawing with the label's
# outlines, written into the folder given (default: shots/ in the project
# folder).
#
#   scripts/shots/letters.sh [folder]
#
# Builds the OpenGL test binary when needed and runs its picture test under
# a virtual display (common.sh).
source "$(dirname "$0")/common.sh"
shoot_gl 'Letters.DISABLED_ShotsForReview'
ls "$out"/letters-*.png
