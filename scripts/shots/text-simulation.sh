#!/usr/bin/env bash
# Pictures of the G-code editor's text simulation for review: the main
# window with a played square in the view, and the editor with its
# simulation bar. They are written as PNG files into the folder given
# (default: shots/ in the project folder).
#
#   scripts/shots/text-simulation.sh [folder]
#
# Builds the OpenGL test binary into build-test/ when needed and runs its
# text-simulation test under a virtual display (xvfb-run).
source "$(dirname "$0")/common.sh"
shoot_gl 'ProgramStart.EditorTextPlaysIntoTheView'
ls "$out"/text-simulation-view.png "$out"/text-simulation-editor.png
