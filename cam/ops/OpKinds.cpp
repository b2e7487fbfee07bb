#include "cam/ops/OpKinds.h"

#include "core/settings/LangKeys.h"

namespace {

using R = TOpToolRecord;
using W = TOpWriter;
using F = TMachineFamily;

constexpr TOpKindInfo kKinds[kOpKindCount] = {
    {0, R::Mill, false, false, false, W::Milling, F::None, LangKeys::frmMain::OpDrilling},
    {1, R::Mill, true, true, true, W::Milling, F::Mill, LangKeys::frmMain::OpContour},
    {2, R::Mill, true, true, true, W::Milling, F::Mill, LangKeys::frmMain::OpPocket},
    {3, R::Mill, true, true, true, W::Drilling, F::Mill, LangKeys::frmMain::OpDrilling},
    {4, R::Mill, false, false, false, W::Polar, F::None, LangKeys::frmMain::OpDrilling},
    {5, R::Mill, true, true, true, W::Milling, F::Mill, LangKeys::frmMain::OpParallel3D},
    {6, R::Mill, false, false, false, W::Milling, F::Mill, LangKeys::frmMain::OpDrilling},
    {7, R::Lathe, true, false, false, W::Lathe, F::Lathe, LangKeys::frmMain::OpLatheFinish},
    {8, R::Laser, true, false, false, W::LaserEngrave, F::Laser, LangKeys::frmMain::OpLaserEngrave},
    {9, R::Laser, true, false, false, W::LaserCut, F::Laser, LangKeys::frmMain::OpLaserCut},
    {10, R::None, false, false, false, W::None, F::None, LangKeys::frmMain::OpDrilling},
    {11, R::Lathe, true, false, false, W::Lathe, F::Lathe, LangKeys::frmMain::OpLatheRough},
    {12, R::Mill, true, true, true, W::Milling, F::None, LangKeys::frmMain::OpLetters},
    {13, R::Laser, true, false, false, W::Milling, F::None, LangKeys::frmMain::OpLaserPocket},
};

} // namespace

const TOpKindInfo* FindOpKind(int kind)
{
    if (kind < 0 || kind >= kOpKindCount)
        return nullptr;
    return &kKinds[kind];
}

const TOpKindInfo& OpKindInfo(int kind)
{
    const TOpKindInfo* info = FindOpKind(kind);
    return info ? *info : kKinds[OpKind::LoaderNew];
}

bool IsLatheKind(int kind)
{
    return kind == OpKind::LatheFinish || kind == OpKind::LatheRough;
}

bool IsLaserKind(int kind)
{
    return kind == OpKind::LaserEngrave || kind == OpKind::LaserCut || kind == OpKind::LaserPocket;
}
