#pragma once
// The operations tree's in-place rename and drag-and-drop, on the operation
// list itself: the tree shows the list in order, so moving a node is moving
// an operation, and the program is written in the new order.

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

class TOpManager;
class TOpManagerField;

// Moves the item at from so that it takes the place of the item at to:
// moving up puts it right before the target, moving down right after it
// (dropping B onto C in A, B, C, D gives A, C, B, D). False, and nothing
// moved, for the same index or an index outside the list.
template <class T> bool MoveListItem(std::vector<T>& list, std::ptrdiff_t from, std::ptrdiff_t to)
{
    const auto n = static_cast<std::ptrdiff_t>(list.size());
    if (from == to || from < 0 || to < 0 || from >= n || to >= n)
        return false;
    if (from < to)
        std::rotate(list.begin() + from, list.begin() + from + 1, list.begin() + to + 1);
    else
        std::rotate(list.begin() + to, list.begin() + from, list.begin() + from + 1);
    return true;
}

// The drop of operation node from onto operation node to (indexes among
// the root's children, which are the list's indexes); false when nothing
// changes.
bool DropOperation(TOpManager& manager, int from, int to);

// The in-place edit of an operation node: the text becomes its comment.
void RenameOperation(TOpManagerField& operation, const std::string& text);
