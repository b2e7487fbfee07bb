#pragma once
// The sample documents with operations and their toolpaths, written with
// the document's own writer and the operation manager's section: every
// operation page and every kind of post can be reached from them.

#include <string>

class TQV_01Cmp2D;

// The drawing of the plain sample with a drilling of its holes, a pocket
// and an outside contour, calculated by the machining generators.
void WriteMillingSample(TQV_01Cmp2D& doc, const std::string& file);
// A plate with an engraved star, a pocketed square and the cut outline.
void WriteLaserSample(const std::string& file);
// The half profile of a turned part with a roughing and a finishing.
void WriteLatheSample(const std::string& file);
