#!/usr/bin/env bash
# Pictures of the simulation page for review: the page and the main window
# while a toolpath plays, and the toolpath-to-geometry dialog, written into
# the folder given (default: shots/ in the project folder).
#
#   scripts/shots/simulation.sh [folder]
#
# Builds the OpenGL test binary when needed and runs its picture test under
# a virtual display (common.sh).
source "$(dirname "$0")/common.sh"
shoot_gl 'SimulationPage.DISABLED_ShotsForReview'
ls "$out"/simulation-*.png
