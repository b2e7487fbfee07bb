#!/usr/bin/env bash
# Pictures of the operation pages for review: one frame of the tool window
# per operation kind with pages (contour, pocket, drilling, 3D parallel,
# lathe finishing and roughing, laser engraving, cut and pocket, letters),
# each opened from the operations tree on its own page; one contact sheet
# of every explanatory picture of the pages; and, where the laser road's
# picture test is built, every page of the laser page sets. Written into the
# folder given (default: shots/ in the project folder).
#
#   scripts/shots/laser-lathe.sh [folder]
#
# Builds the OpenGL test binary when needed and runs its picture tests under
# a virtual display (common.sh).
source "$(dirname "$0")/common.sh"
shoot_gl 'OperationPageShots.DISABLED_ShotsForReview:LaserRoad.DISABLED_ShotsForReview'
shopt -s nullglob
ls "$out"/pages-*.png "$out"/pictures-sheet.png "$out"/laser-*.png
