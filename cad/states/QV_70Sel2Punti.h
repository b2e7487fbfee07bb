#pragma once
// The distance measurement: a left click takes the first point, the
// rubber line follows the cursor (both points, dx, dy, length and angle go
// to the live read-out), the next left click ends the measurement, and the
// click after that starts a new one. Points are snapped (GetSnappedPoint).
// Accept rebuilds the scene and ends; cancel ends.

#include "cad/program/QV_00State.h"
#include "core/entities/Line2D.h"
#include "core/geometry/Points.h"

#include <memory>
#include <string_view>

class TQV_70Sel2PuntiParam : public TQV_00CommonParam {
public:
    // Both points at the origin; the rubber line (ID -1) from (0, 0) to
    // (0, 0), owned.
    explicit TQV_70Sel2PuntiParam(TCADStateClass afterState = nullptr);
    ~TQV_70Sel2PuntiParam() override;

    TPoint2D FirstPoint;
    TPoint2D SecondPoint;
    TLine2D& RubberLine() { return *m_RubberLine; }

private:
    std::unique_ptr<TLine2D> m_RubberLine;
};

class TQV_70Sel2Punti : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TQV_70Sel2Punti";
    // A parameter of another class raises ECADSysException
    // "TQV_70Sel2Punti: Invalid param".
    TQV_70Sel2Punti(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override;
    void StopHook() override;

private:
    TQV_70Sel2PuntiParam& DistanceParam() const;
    TPoint2D SnappedPoint() const;
    // The rubber line from the first to the second point as the drag object.
    void ShowRubberLine();
    // The rubber line leaves the overlay before its parameter goes.
    void HideRubberLine();

    bool m_FirstPointTaken = false;
};
