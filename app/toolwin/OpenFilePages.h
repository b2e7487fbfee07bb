#pragma once
// The tool window's pages of the File commands: "tabOpenR", on which the
// file commands build the open-geometry panel of each opened file, and
// "tabVectorize" for the Vectorize command. The window's hide frees the
// panel and the vectoriser.

#include <string>

class TFileCommands;
class TQV_01Cmp2D;
class TVectorizePage;
class TfrmToolWin;

// Registers both pages and wires them to the file commands; the returned
// page belongs to its sheet. The tool window and the commands outlive the
// wiring (the main window clears the hide hooks first).
TVectorizePage& AddOpenFilePages(TfrmToolWin& toolWin, TFileCommands& files, TQV_01Cmp2D& document);
