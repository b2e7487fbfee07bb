#include "fuzz/FuzzEntries.h"

#include "core/entities/Container2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/model/UserNotifier.h"
#include "core/entities/VectFont.h"
#include "io/dxf/DXF2DImport.h"
#include "io/dxf/DXFImportFile.h"

#include <string>

namespace {

class TSilentNotifier final : public TUserNotifier {
public:
    void ShowMessage(EMessageKind, const std::string&, const std::string&) override {}
    EUserAnswer AskYesNo(const std::string&, const std::string&) override { return EUserAnswer::Yes; }
};

// Every object of the drawing is asked for its box and picked once, which
// walks blocks nested in blocks.
void TouchDrawing(TQV_01Cmp2D& document)
{
    document.GetDrawingBounds();
    TGraphicObjIterator it = document.ObjectsIterator();
    for (TGraphicObject* object = it.First(); object; object = it.Next())
        if (auto* drawable = dynamic_cast<TObject2D*>(object)) {
            double distance = 0.0;
            drawable->PickAt(MakePoint2D(0.0, 0.0), distance, 1.0);
        }
}

} // namespace

// Both read operations on the bytes, with light-weight polylines read each
// way. Neither may raise, hang or read out of bounds, whatever the input.
int KbFuzzDXFImport(const uint8_t* data, size_t size)
{
    TSilentNotifier silent;
    TUserNotifier* previous = SetUserNotifier(&silent);
    static TVectFont font;
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const bool containers : {false, true}) {
        TQV_01Cmp2D document;
        const auto importer = TDXF2DImport::FromMemory(text, &document);
        importer->SetTextFont(&font);
        importer->PolylinesAsContainers = containers;
        importer->ReadIntoModel();
        DXFImportReport(*importer);
        TouchDrawing(document);
        if (containers) {
            const auto again = TDXF2DImport::FromMemory(text, &document);
            again->SetTextFont(&font);
            if (const auto container = again->ReadAsContainer()) {
                double distance = 0.0;
                container->PickAt(MakePoint2D(0.0, 0.0), distance, 1.0);
            }
        }
    }
    SetUserNotifier(previous);
    return 0;
}
