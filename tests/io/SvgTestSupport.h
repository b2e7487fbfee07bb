#pragma once
// Helpers of the SVG tests: stored vertices as plain records, SVG documents
// from their body, and the objects of a document in order.

#include "core/model/GraphicObjList.h"
#include "core/model/QV_01Cmp2D.h"
#include "io/svg/SvgPathRenderer.h"
#include "io/svg/SvgPathTokenizer.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace kbtest {

struct TSvgVertex {
    unsigned Cmd;
    double X;
    double Y;
    bool operator==(const TSvgVertex&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const TSvgVertex& v)
{
    return os << "{" << v.Cmd << ", " << v.X << ", " << v.Y << "}";
}

inline std::vector<TSvgVertex> StoredVertices(const path_storage& storage)
{
    std::vector<TSvgVertex> vertices;
    for (unsigned i = 0; i < storage.total_vertices(); ++i) {
        TSvgVertex v{};
        v.Cmd = storage.vertex(i, &v.X, &v.Y);
        vertices.push_back(v);
    }
    return vertices;
}

// Interprets path data into the renderer's storage.
inline void ParsePathData(path_renderer& renderer, std::string_view data)
{
    path_tokenizer tokenizer;
    tokenizer.set_path_str(data);
    renderer.parse_path(tokenizer);
}

// A whole SVG document around body.
inline std::string SvgDocument(std::string_view body)
{
    return std::string("<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\">") + std::string(body) +
           "</svg>\n";
}

inline std::vector<TObject2D*> DocumentObjects(TQV_01Cmp2D& document)
{
    std::vector<TObject2D*> objects;
    TGraphicObjIterator it = document.ObjectsIterator();
    for (TGraphicObject* object = it.First(); object; object = it.Next())
        objects.push_back(dynamic_cast<TObject2D*>(object));
    return objects;
}

} // namespace kbtest
