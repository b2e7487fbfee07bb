#!/usr/bin/env bash
# Pictures of the open-geometry page for review: the page (and the main
# window) after a DXF, an STL and a BMP was opened, and the vectorise page
# after a preview, written into the folder given (default:
# shots/ in the project folder).
#
#   scripts/shots/open-panel.sh [folder]
#
# Builds the OpenGL test binary when needed and runs its picture test under
# a virtual display (common.sh).
source "$(dirname "$0")/common.sh"
shoot_gl 'OpenFiles.DISABLED_ShotsForReview'
ls "$out"/open-panel-*.png "$out"/open-window-*.png
