#!/usr/bin/env bash
# Pictures of the Create and Edit toolbars for review: the main window with
# each split button's menu open (Points, Lines, Arcs, Text, Delete, Modify,
# Transform, Analyse). They are written as PNG files into the folder given
# (default: shots/ in the project folder).
#
#   scripts/shots/toolbars.sh [folder]
#
# Builds the OpenGL test binary when needed and runs its picture test under
# a virtual display (common.sh).
source "$(dirname "$0")/common.sh"
shoot_gl 'Toolbars.DISABLED_ShotsForReview'
ls "$out"/toolbar-*.png
