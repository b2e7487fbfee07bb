#include "cad/panel/GeoTreeNodes.h"

#include "core/entities/Arco2D.h"
#include "core/entities/BSpline2D.h"
#include "core/entities/Bitmap2D.h"
#include "core/entities/Block2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Frame2D.h"
#include "core/entities/JustifiedVectText2D.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "core/entities/QVBSpline2D.h"
#include "core/entities/QV_STLSurf.h"

namespace {

namespace LK = LangKeys::frmMain;

TGeoTreeNode Node(std::string_view key, int image) { return {LangMainText(key), image}; }

} // namespace

TGeoTreeNode GeoTreeRootNode()
{
    return Node(LK::TreeRoot, GeoTreeRootImage);
}

TGeoTreeNode GeoTreeLayerNode(const std::string& layerName)
{
    return {LangMainText(LK::TreeLayer) + layerName, GeoTreeLayerImage};
}

std::optional<TGeoTreeNode> GeoTreeEntityNode(const TObject2D& object)
{
    // The order matters only among related classes: the first match wins.
    const TObject2D* o = &object;
    if (dynamic_cast<const TPunto2D*>(o))
        return Node(LK::TreePoint, 2);
    if (dynamic_cast<const TLine2D*>(o))
        return Node(LK::TreeLine, 3);
    if (dynamic_cast<const TFrame2D*>(o))
        return Node(LK::TreeRectangle, 4);
    if (dynamic_cast<const TArco2D*>(o))
        return Node(LK::TreeArc, 5);
    if (dynamic_cast<const TCerchio2D*>(o))
        return Node(LK::TreeCircle, 6);
    if (dynamic_cast<const TPolyline2D*>(o))
        return Node(LK::TreePolyline, 8);
    if (dynamic_cast<const TBSpline2D*>(o) || dynamic_cast<const TQVBSpline2D*>(o))
        return Node(LK::TreeSpline, 9);
    if (dynamic_cast<const TCurve2D*>(o))
        return Node(LK::TreeCurve, 7);
    if (dynamic_cast<const TJustifiedVectText2D*>(o))
        return Node(LK::TreeText, 13);
    if (dynamic_cast<const TBitmap2D*>(o))
        return Node(LK::TreeBitmap, 10);
    if (const auto* block = dynamic_cast<const TBlock2D*>(o)) {
        TGeoTreeNode node = Node(LK::TreeBlock, 12);
        node.Text += " " + BlockNameText(block->Name());
        return node;
    }
    if (dynamic_cast<const TQV_STLSurf*>(o)) {
        TGeoTreeNode node = Node(LK::TreeStl, 14);
        node.Text += " ";
        return node;
    }
    return std::nullopt;
}
