#!/usr/bin/env bash
# Pictures of the stock-removal model for review: the fresh stock, the
# stock after a played square contour and the uncut stock seen from the
# front and above (stock-fresh.png, stock-cut.png, stock-iso.png), written
# into the folder given (default: shots/ in the project folder).
#
#   scripts/shots/stock.sh [folder]
#
# Builds the OpenGL test binary into build-test/ when needed and runs its
# stock test under a virtual display (xvfb-run).
source "$(dirname "$0")/common.sh"
shoot_gl 'SquareFrame.Stock*'
ls "$out"/stock-*.png
