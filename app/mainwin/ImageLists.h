#pragma once
// The image lists of the main window. Commands name their images by list
// and index, as the language and layout of the program fix them; the
// icons themselves are drawn here (a small glyph on a tile of the list's
// colour), so the program ships no icon files. The index an action or
// button shows is kept beside its icon and can be read back.

#include <QIcon>

class QObject;

enum class TImageList { File, View, Create, Modify, Status, Cnc };

// The icon of an image; an index without a glyph gives a plain tile.
QIcon ListImage(TImageList list, int index);

// Sets the icon of an action or a tool button and remembers the index.
void SetImage(QObject& target, TImageList list, int index);
// The index last set with SetImage; -1 when none was.
int ImageIndex(const QObject& target);
