#pragma once
// The image lists of the program. Commands name their images by list and
// index, as the language and layout of the program fix them. An image is the
// desktop's icon where the desktop has a standard action for it (new, open,
// save, undo, zoom, help, media keys, ...), taken from the icon theme the
// program ships with, and otherwise a small vector drawing of the program's
// own (data/icons, compiled in). Both render crisp at any device pixel ratio.
// The index an action or button shows is kept beside its icon and can be read
// back.

#include <QIcon>

#include <vector>

class QObject;

enum class TImageList { File, View, Create, Modify, Status, Cnc, TreeGeo, Sim };

// Every list, for walking them all (the contact sheet, the tests).
const std::vector<TImageList>& AllImageLists();
// A short name of a list ("File", "View", ...).
const char* ImageListName(TImageList list);
// The indices of a list that have a picture, ascending.
std::vector<int> ImageListIndices(TImageList list);

// The picture of an image; a null icon for an index the list does not have.
QIcon ListImage(TImageList list, int index);
// Whether the list has a picture at that index.
bool HasListImage(TImageList list, int index);

// Sets the icon of an action or a tool button and remembers list and index.
void SetImage(QObject& target, TImageList list, int index);
// The index last set with SetImage; -1 when none was.
int ImageIndex(const QObject& target);
// The list of the index last set with SetImage; false when none was.
bool ImageListOf(const QObject& target, TImageList& list);

// Makes the shipped icon theme the program's own, whatever the desktop uses,
// so the program looks the same everywhere. Called by ListImage the first
// time; start-up calls it before any window is built.
void UseProgramIconTheme();
