#pragma once
// The explanatory pictures of the operation pages (the tool window's image
// list): one drawing per index, shown in a page's picture label when a
// field is entered. The label keeps the index shown in its "imageIndex"
// property. Main thread only.

#include <QPixmap>

class QLabel;
class QWidget;
class TWidgetToolPage;

// Number of pictures in the list; indices outside [0, count) draw nothing.
constexpr int ToolWinPictureCount = 41;
// The size of every picture: it fits beside the fields of the fullest page.
constexpr int ToolWinPictureWidth = 160;
constexpr int ToolWinPictureHeight = 96;

// The picture of an index, drawn in code (cached).
QPixmap ToolWinPicture(int index);

// A page's picture label named name, showing picture index.
QLabel* PictureLabel(QWidget* parent, const char* name, int index);

// Shows picture index in the page's label named image (nothing when the
// page has no such control).
void SetPagePicture(TWidgetToolPage& page, const char* image, int index);
