#pragma once
// Moving the children of a free container into the drawing, as the DXF
// import does with the light-weight polylines it reads as containers.

#include <memory>

class TContainer2D;
class TQV_01Cmp2D;

// Each child of the container, in order, takes the container's combined
// transform after its own (folded into its model transform) and is added to
// the document under its own ID (a negative ID takes the next free one) on
// the document's current layer; BreakIDs() is rebuilt from empty with the
// IDs the children got. The container is freed in every case. An error of
// the document (a blocked object list) ends the moving: the children added
// so far stay in the drawing, the others are freed with the container, and
// the error goes on to the caller. Children that are not 2D objects are
// dropped. Returns the number of objects added.
int ExplodeContainerToDocument(TQV_01Cmp2D& document, std::unique_ptr<TContainer2D> container);
