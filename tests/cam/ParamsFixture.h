#pragma once
// Operation parameters filled in code with the values that ParamsBytes
// (tests/cam/ToolBytes.h) stores.

#include "cam/params/ParametriOperazione.h"
#include "core/entities/Etichetta.h"

#include <memory>

namespace kbtest {

// Fills p with the values of ParamsBytes (tool "T1", two tabs, the label
// of LabelBytes for kind 12), as the pages would.
inline void FillAsFixture(TParametriOperazione& p, int kind)
{
    TDatiUtBase& t = *p.ToolData;
    t.ToolNumber = 7;
    t.SpindleSpeed = 12000;
    t.SpindleChoice = 2;
    t.Feed = 800;
    t.PlungeFeed = 200;
    t.ToolName = "T1";
    t.ToolType = 1;
    t.Diameter = 6;
    t.CornerRadius = 1;
    t.PassZ = 2.5f;
    t.ToolLength = 30;
    p.CompSide = -1;
    p.CompOffset = 0.3;
    p.LayerPriority = 1;
    p.LeadInKind = 2;
    p.LeadInLength = 4.5;
    p.LeadOutKind = 1;
    p.LeadOutLength = 3.25;
    p.LeadAtMidSegment = 1;
    p.MakeTabs = 1;
    p.Tabs.TabWidth = 2.5;
    p.Tabs.TabThickness = 0.75;
    p.Tabs.Full = 1;
    p.Tabs.Reserved = 7;
    for (int i = 0; i < 2; ++i) {
        auto tab = std::make_unique<TDatiTab>();
        tab->PickPoint = {double(i), i + 0.5};
        tab->ChainPoint = {i + 0.25, i - 0.75};
        tab->Distance = 0.125 * i;
        tab->ChainId = 100 + i;
        tab->SegmentIndex = i;
        p.Tabs.AddTab(std::move(tab));
    }
    p.ZRapid = 25;
    p.ZTop = 1;
    p.ZDepth = -10;
    p.ZStep = 3;
    p.StockXY = 0.2;
    p.RoughCount = 2;
    p.RoughSize = 1.25;
    p.FinishCount = 1;
    p.FinishSize = 0.1;
    p.PassCount = 3;
    p.PassDepth = 3;
    p.HasRemainder = 1;
    p.RemainderDepth = 1;
    p.DepthOrder = 1;
    p.OffsetMethod = 2;
    p.StepOverPercent = 40;
    p.SpiralInOut = 1;
    p.Angle = 45;
    p.PocketType = 1;
    p.CycleType = 2;
    p.ArcMask = 1;
    p.ArcMaskDiameter = 6.5;
    p.ArcMaskTolerance = 0.05;
    p.CutRules = 2;
    p.PocketEntry = 1;
    p.KeepToolDown = true;
    p.RetractOn = true;
    p.MarginX = 3;
    p.MarginY = 4;
    p.ZBottom = -12;
    p.Resolution = 0.25;
    p.LatheHome = {40.125, -2.5};
    if (kind == 12) {
        p.Labels = std::make_unique<TEtichetta>(true);
        p.Labels->Labels() = {{"AB", 1.5f, 2.5f, 6.0f, 0.5f}, {"C", -3.0f, 4.0f, 8.0f, 1.0f}};
        p.Labels->SetFontIndex(1);
    }
    p.RetractZ = 7.5;
    p.XformOn = 1;
    p.StepCountX = 3;
    p.StepCountY = 2;
    p.StepX = 12.5;
    p.StepY = 8;
}

} // namespace kbtest
