#!/usr/bin/env bash
# Pictures of the main window for review: the window with the sample
# drawing, the snap menu open, the drawing view's popup open, and the
# typed-coordinate dialog. They are written as PNG files into the folder
# given (default: shots/ in the project folder).
#
#   scripts/shots/main-window.sh [folder]
#
# Builds the OpenGL test binary when needed and runs its picture test under
# a virtual display (common.sh).
source "$(dirname "$0")/common.sh"
shoot_gl 'MainFrame.DISABLED_ShotsForReview'
ls "$out"/main-window.png "$out"/snap-menu.png "$out"/view-popup.png "$out"/coordinate-dialog.png
