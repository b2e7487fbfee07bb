#pragma once
// The parameter of the transform commands (translate, rotate, scale and
// mirror): the objects to transform, the base point and the second point,
// the transform they give, and the number of copies.
//
// The second point comes from the mouse (ComputeMatrix, with the program's
// orthogonal mode applied by the state) or from the values typed into the
// tool window (the Set... operations of each kind). Typed values are taken
// as they are: a typed scale factor of 2 scales by 2 at every zoom, in
// uniform and in X/Y mode, and a typed angle is never squared by the
// orthogonal mode.
//
// While the mouse sets the transform, the kinds show the value in the tool
// window (angle, scale factors); the program is locked meanwhile, so that
// the change events those fields send back are dropped instead of
// re-entering the command.
//
// CurrentTransformParam() names the parameter of the transform command that
// runs, for the tool window's repeat fields; the parameter clears it when
// it is freed, so the tool window never writes into a freed parameter.

#include "cad/program/QV_00CADPrgParam.h"
#include "cad/program/ShellServices.h"
#include "core/geometry/Matrix4.h"
#include "core/geometry/Points.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class TLine2D;
class TObject2D;
class TQV_00CADProg;

enum class TTransformKind : int32_t { Translate = 0, Rotate = 1, Scale = 2, Mirror = 3 };

// 25 times the square root of 2: the offset per unit of typed scale factor
// at which the scale command places its second point.
inline constexpr double ScaleUnitOffset = 35.355339059327376;

class TQV_80TransformObjectsParam : public TQV_00CommonParam {
public:
    // objects: the selected objects in selection order (not owned; they
    // must stay in the drawing while the command runs). An empty list
    // raises ECADSysException "TQV_80TOP: Invalid list". Otherwise each
    // object's pending transform is folded into its model transform, the
    // box is the union of their boxes, the matrix the identity, and the
    // program's object snap is allowed.
    TQV_80TransformObjectsParam(TQV_00CADProg& prg, std::vector<TObject2D*> objects, TTransformKind kind,
                                TCADStateClass afterState);
    // Clears CurrentTransformParam() when it names this parameter, and
    // takes the rubber line and the objects out of the view's overlay.
    ~TQV_80TransformObjectsParam() override;

    // matrix := the transform that takes the base point p1 to the mouse's
    // second point p.
    virtual void ComputeMatrix(TMatrix4& matrix, const TPoint2D& p1, const TPoint2D& p) = 0;
    // Copies := the integer of the kind's repeat field, when it holds one.
    virtual void ReadRepeatCount() = 0;

    TTransformKind Kind() const { return m_Kind; }
    TQV_00CADProg& Program() const { return m_Program; }
    // The objects still to transform, in selection order.
    std::vector<TObject2D*>& Objects() { return m_Objects; }
    // Takes the object out of the list (it was replaced and deleted).
    void RemoveObject(const TObject2D* object);
    // The line from the base point to the second point shown while the
    // second point moves.
    TLine2D& RubberLine() const { return *m_RubberLine; }
    // The union of the objects' boxes when the command started.
    const TRect2D& Box() const { return m_Box; }

    TPoint2D P1{0.0, 0.0, 1.0};
    TPoint2D P2{0.0, 0.0, 1.0};
    // 0 before the base point, then 1.
    int32_t PointsTaken = 0;
    // Kept for the stored form of the command; the preview always shows the
    // transformed objects.
    uint8_t BoxPreview = 0;
    TMatrix4 Matrix;
    // How many copies the copy mode makes; 1 at first.
    int32_t Copies = 1;

protected:
    // The integer of the tool-window field into Copies, when it holds one.
    void ReadRepeatField(TToolWinText field);

private:
    TQV_00CADProg& m_Program;
    TTransformKind m_Kind;
    std::vector<TObject2D*> m_Objects;
    std::unique_ptr<TLine2D> m_RubberLine;
    TRect2D m_Box{};
};

class TQV_81TraslaObjectsParam : public TQV_80TransformObjectsParam {
public:
    TQV_81TraslaObjectsParam(TQV_00CADProg& prg, std::vector<TObject2D*> objects, TCADStateClass afterState);
    // The translation p - p1, each difference rounded to single precision.
    void ComputeMatrix(TMatrix4& matrix, const TPoint2D& p1, const TPoint2D& p) override;
    void ReadRepeatCount() override;
};

class TQV_82RuotaObjectsParam : public TQV_80TransformObjectsParam {
public:
    TQV_82RuotaObjectsParam(TQV_00CADProg& prg, std::vector<TObject2D*> objects, TCADStateClass afterState);
    // The rotation about p1 by the direction of p from p1; the angle is
    // shown in the angle field in degrees.
    void ComputeMatrix(TMatrix4& matrix, const TPoint2D& p1, const TPoint2D& p) override;
    void ReadRepeatCount() override;
    // The rotation about p1 by angle (radians); no field is written.
    static void SetAngle(TMatrix4& matrix, const TPoint2D& p1, double angle);
};

class TQV_84ScalaObjectsParam : public TQV_80TransformObjectsParam {
public:
    TQV_84ScalaObjectsParam(TQV_00CADProg& prg, std::vector<TObject2D*> objects, TCADStateClass afterState);
    // The scale about p1 by the mouse's offset, measured in viewer pixels:
    // uniform mode (rbtScaleUniform checked): the pixel distance / 10 x the
    // pixel size (the drawing distance / 10) for both axes; X/Y mode: each
    // axis's pixel offset / ScaleUnitOffset. The factors are shown in the
    // scale fields. Without a scene view the matrix stays as it is.
    void ComputeMatrix(TMatrix4& matrix, const TPoint2D& p1, const TPoint2D& p) override;
    void ReadRepeatCount() override;
    // The scale about p1 by sx and sy; no field is written.
    static void SetFactors(TMatrix4& matrix, const TPoint2D& p1, double sx, double sy);
};

class TQV_83SpecchiaObjectsParam : public TQV_80TransformObjectsParam {
public:
    TQV_83SpecchiaObjectsParam(TQV_00CADProg& prg, std::vector<TObject2D*> objects, TCADStateClass afterState);
    // The mirror about the line through p1 and p.
    void ComputeMatrix(TMatrix4& matrix, const TPoint2D& p1, const TPoint2D& p) override;
    // The mirror makes one copy: nothing to read.
    void ReadRepeatCount() override {}
};

// The parameter of the transform command that runs, or null.
TQV_80TransformObjectsParam* CurrentTransformParam();
void SetCurrentTransformParam(TQV_80TransformObjectsParam* param);
// What the tool window's repeat fields do on a change: the integer of the
// text becomes the copies count of the running transform command; nothing
// while none runs or when the text is empty or not an integer.
void TransformRepeatChanged(std::string_view text);
