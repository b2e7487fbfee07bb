#include "core/entities/EntityRegistration.h"

#include "core/entities/Arco2D.h"
#include "core/entities/BSpline2D.h"
#include "core/entities/Bitmap2D.h"
#include "core/entities/Block2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Ellipse2D.h"
#include "core/entities/EllipseOpen2D.h"
#include "core/entities/Etichetta.h"
#include "core/entities/Frame2D.h"
#include "core/entities/JustifiedVectText2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Line3D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "core/entities/QVBSpline2D.h"
#include "core/entities/QV_STLSurf.h"

void RegisterEntityClasses()
{
    QV_00ClearClassRegistry();
    // In increasing id order; each class carries its own kStreamClassId.
    QV_00RegisterClass(ContainerClassId, StreamClassOf<TContainer2D>());
    QV_00RegisterClass(SourceBlockClassId, StreamClassOf<TSourceBlock2D>());
    QV_00RegisterClass(BlockClassId, StreamClassOf<TBlock2D>());
    QV_00RegisterClass(TLine2D::kStreamClassId, StreamClassOf<TLine2D>());
    QV_00RegisterClass(TPolyline2D::kStreamClassId, StreamClassOf<TPolyline2D>());
    QV_00RegisterClass(TPolygon2D::kStreamClassId, StreamClassOf<TPolygon2D>());
    QV_00RegisterClass(TRectangle2D::kStreamClassId, StreamClassOf<TRectangle2D>());
    QV_00RegisterClass(TEllipseOpen2D::kStreamClassId, StreamClassOf<TEllipseOpen2D>());
    QV_00RegisterClass(TEllipse2D::kStreamClassId, StreamClassOf<TEllipse2D>());
    QV_00RegisterClass(TFilledEllipse2D::kStreamClassId, StreamClassOf<TFilledEllipse2D>());
    QV_00RegisterClass(TFrame2D::kStreamClassId, StreamClassOf<TFrame2D>());
    QV_00RegisterClass(TBitmap2D::kStreamClassId, StreamClassOf<TBitmap2D>());
    QV_00RegisterClass(TBSpline2D::kStreamClassId, StreamClassOf<TBSpline2D>());
    QV_00RegisterClass(TJustifiedVectText2D::kStreamClassId, StreamClassOf<TJustifiedVectText2D>());
    QV_00RegisterClass(TPunto2D::kStreamClassId, StreamClassOf<TPunto2D>());
    QV_00RegisterClass(TCerchio2D::kStreamClassId, StreamClassOf<TCerchio2D>());
    QV_00RegisterClass(TArco2D::kStreamClassId, StreamClassOf<TArco2D>());
    QV_00RegisterClass(TFilledCerchio2D::kStreamClassId, StreamClassOf<TFilledCerchio2D>());
    QV_00RegisterClass(TQVBSpline2D::kStreamClassId, StreamClassOf<TQVBSpline2D>());
    QV_00RegisterClass(InsertClassId, StreamClassOf<TInsert>());
    QV_00RegisterClass(TEtichetta::kStreamClassId, StreamClassOf<TEtichetta>());
    QV_00RegisterClass(TLine3D::kStreamClassId, StreamClassOf<TLine3D>());
    QV_00RegisterClass(TQV_STLSurf::kStreamClassId, StreamClassOf<TQV_STLSurf>());
}
