#include "core/model/CollectObjectsInWindow.h"

#include "core/model/CADSysException.h"
#include "core/entities/Container2D.h"
#include "core/model/GeoTree.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/geometry/VectorHelpers.h"

#include <algorithm>
#include <stdexcept>

void CollectObjectsInWindow(TQV_01Cmp& document, TGraphicObjList& list, const TIntRect& window, int mode,
                            bool move)
{
    if (list.Count() > 0 && list.OwnsObjects() != move)
        throw std::invalid_argument("CollectObjectsInWindow: The list holds objects of the other ownership");
    TExclusiveGraphicObjIterator it = document.ObjectsExclusiveIterator();
    // Tested up front: an object taken from the document must never find the
    // list refusing it (this also refuses the document's own list).
    if (list.IsBlocked())
        throw ECADListBlocked("CollectObjectsInWindow: The list has active iterators.");
    list.SetOwnsObjects(move);
    const TIntRect frame{std::min(window.Left, window.Right), std::min(window.Top, window.Bottom),
                         std::max(window.Left, window.Right), std::max(window.Top, window.Bottom)};
    if (mode != 0)
        return;
    TGraphicObjList& objects = document.Objects();
    TGraphicObject* current = it.First();
    while (current) {
        auto* object = dynamic_cast<TObject2D*>(current);
        bool inside = false;
        if (object && object->Enabled() && object->Pickable()) {
            const TQV_21Layer& layer = document.Layers().GetLayer(object->Layer());
            if (layer.Active() && layer.Visible()) {
                const TIntRect r = object->HasTransform() ? BoxScreenRect(object->Box()) : object->GetScreenRect();
                inside = IntRectInsideIntRect(r, frame);
            }
        }
        if (!inside) {
            current = it.Next();
            continue;
        }
        if (!move) {
            list.AddReference(*object);
            current = it.Next();
            continue;
        }
        const bool wasTail = current == objects.Tail();
        std::unique_ptr<TGraphicObject> taken = it.RemoveCurrent();
        if (document.TreeGeo() && taken->TreeNode() != NoTreeNode)
            document.TreeGeo()->DeleteGeoTreeNode(taken->TreeNode());
        taken->SetTreeNode(NoTreeNode);
        taken->SetOwner(nullptr);
        // No longer the document's: it leaves the scene and stops telling
        // the document's views of its changes.
        TSceneBuilder* scene = ViewServices().Scene;
        if (scene && taken->ViewNode() != NoSceneNode)
            scene->RemoveNode(taken->ViewNode());
        taken->SetViewNode(NoSceneNode);
        taken->SetOnChange(nullptr);
        list.Add(std::move(taken));
        // The walk goes on from the successor; after the tail, the current
        // object is its predecessor, already tested.
        current = wasTail ? nullptr : it.Current();
    }
}
