#include "cad/edit/ExplodeContainer.h"

#include "cad/edit/BreakIDs.h"
#include "core/entities/Container2D.h"
#include "core/model/QV_01Cmp2D.h"

int ExplodeContainerToDocument(TQV_01Cmp2D& document, std::unique_ptr<TContainer2D> container)
{
    BreakIDs().clear();
    if (!container)
        return 0;
    // A copy: the children's own transform requests reuse the shared
    // scratch matrix that GetModelTransform may return.
    const TMatrix4 transform = container->GetModelTransform();
    const bool moved = container->HasTransform();
    int added = 0;
    TGraphicObjList& children = container->Objects();
    while (children.Count() > 0) {
        std::unique_ptr<TGraphicObject> owned;
        {
            TExclusiveGraphicObjIterator it = children.GetExclusiveIterator();
            it.First();
            owned = it.RemoveCurrent();
        }
        std::unique_ptr<TObject2D> child(dynamic_cast<TObject2D*>(owned.get()));
        if (!child)
            continue; // owned frees what is not a 2D object
        owned.release();
        if (moved) {
            child->Transform(transform);
            child->ApplyTransform();
        }
        const TObject2D* object = document.AddObject(child->ID(), std::move(child));
        BreakIDs().push_back(object->ID());
        ++added;
    }
    return added;
}
