#!/usr/bin/env bash
# Pictures of the chain, drilling-point and mill tool pages for review: the
# tool window and the main window (chains drawn in the view) of each, written
# into the folder given (default: shots/ in the project folder).
#
#   scripts/shots/chain-tool-pages.sh [folder]
#
# Builds the OpenGL test binary when needed and runs its picture test under
# a virtual display (common.sh).
source "$(dirname "$0")/common.sh"
shoot_gl 'ChainToolPages.DISABLED_ShotsForReview'
ls "$out"/tool-window-{chain,mill-tool,drill-points}.png
