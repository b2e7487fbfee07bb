#include "fuzz/FuzzEntries.h"

#include "core/model/GraphicObjList.h"
#include "core/entities/Polyline2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "io/svg/SvgException.h"
#include "io/svg/SvgImport.h"
#include "io/svg/SvgParser.h"
#include "io/svg/SvgPathRenderer.h"
#include "io/svg/SvgPathTokenizer.h"

#include <cmath>
#include <string_view>

namespace {

// Every polyline the import added has finite points: that is its contract.
void CheckImported(TQV_01Cmp2D& document)
{
    TGraphicObjIterator it = document.ObjectsIterator();
    for (TGraphicObject* object = it.First(); object; object = it.Next()) {
        if (auto* polyline = dynamic_cast<TPolyline2D*>(object)) {
            if (polyline->Points().Count() < 1)
                __builtin_trap();
            for (const TPoint2D& p : polyline->Points().Points()) {
                if (!std::isfinite(p.X) || !std::isfinite(p.Y))
                    __builtin_trap();
            }
        }
    }
}

void ImportInto(const path_renderer& renderer)
{
    TQV_01Cmp2D document;
    ImportSvgPaths(document, renderer);
    CheckImported(document);
}

} // namespace

// The bytes as an SVG document, then as path data and as a style attribute.
// Errors end each reading with svg_exception; whatever was stored before
// the error is imported.
int KbFuzzSvg(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    {
        path_renderer renderer;
        svg_parser parser(renderer);
        try {
            parser.parse_buffer(text);
        } catch (const svg_exception&) {
        }
        if (parser.title().size() > 255)
            __builtin_trap();
        ImportInto(renderer);
    }
    {
        path_renderer renderer;
        svg_parser parser(renderer);
        path_tokenizer tokenizer;
        try {
            renderer.begin_path();
            parser.parse_style(text);
            tokenizer.set_path_str(text);
            renderer.parse_path(tokenizer);
        } catch (const svg_exception&) {
        }
        if (renderer.attribute_count() == 1)
            renderer.end_path();
        ImportInto(renderer);
    }
    return 0;
}
