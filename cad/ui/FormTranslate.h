#pragma once
// Translation of windows from a language file. A window's objectName is its
// section in the file and the objectNames of the objects below it are the
// component names the keys are built from, wherever they lie (in panels,
// group boxes, tab pages, layouts of their own):
//   "<form>.Caption"      the window title;
//   "<name>.Caption"      the text of a label, button, check or radio box,
//                         action or menu entry, the title of a group box,
//                         menu, tool bar or dock, the tab text of a page of
//                         a QTabWidget;
//   "<name>.Hint"         the tool tip (and, for an action, the status tip);
//   "<name>.items[<i>]"   item i (from 0) of a combo box or of a radio
//                         group: a QButtonGroup (button of id i, else the
//                         i-th button added) or a QGroupBox (its i-th radio
//                         button).
// A missing key, an empty text, or a name whose object has no such text
// changes nothing: the design text, or an earlier translation, stays. "*|*"
// in a text is a line break.

#include <initializer_list>

class QWidget;
class TIniFile;

// Translates each form in turn (null entries are skipped). With a null ini
// nothing is translated and the user is told that the language file was
// not found, once for each path asked for (see ReportMissingLanguageFile).
void TranslateForms(std::initializer_list<QWidget*> forms, const TIniFile* ini);
