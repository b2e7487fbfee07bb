#pragma once
// The text simulation's test bed: the editor's text as a list of lines and
// a simulator on the fakes, with the writer's post replaced for the test.

#include "cam/tools/DatiUtBase.h"
#include "core/settings/Language.h"
#include "nc/editor/TextSimulation.h"
#include "nc/gcode/LeggeGCode.h"
#include "nc/sim/Simulatore2D.h"
#include "nc/sim/TextOperation.h"
#include "nc/writer/ScriveGCode.h"
#include "platform/IniFile.h"
#include "tests/nc/sim/SimTestFakes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kbtest {

// The editor's text as a list of lines; the caret follows the selection.
class TListText final : public TGCodeTextSource {
public:
    int LineCount() const override { return static_cast<int>(Lines.size()); }
    std::string LineText(int line) const override
    {
        Read.push_back(line);
        return Lines.at(static_cast<size_t>(line));
    }
    void SelectLine(int line) override
    {
        Selected.push_back(line);
        Caret = line;
    }
    void ScrollLines(int lines) override { Scrolled.push_back(lines); }
    int CaretLine() const override { return Caret; }
    void MoveCaretToStart() override { Caret = 0; }
    void Focus() override { ++Focused; }
    void ShowCurrentZ(double z) override { Heights.push_back(z); }

    std::vector<std::string> Lines;
    int Caret = 0;
    int Focused = 0;
    mutable std::vector<int> Read;
    std::vector<int> Selected;
    std::vector<int> Scrolled;
    std::vector<double> Heights;
};

// A simulator on the fakes with the writer's post replaced for the test.
class TTextSimFixture : public ::testing::Test {
protected:
    TTextSimFixture() : SimView(View.Scene), m_SavedPost(GCodeWriter())
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        Sim.SetWindow(&Window);
        Sim.SetView(&SimView);
        Sim.SetClock(&Clock);
        Sim.SetEcho(&Echo);
    }
    ~TTextSimFixture() override
    {
        static_cast<TPostProcessor&>(GCodeWriter()) = m_SavedPost;
        SetLanguageIni(nullptr);
    }

    // The writer takes the shipped post; the simulation is prepared.
    void UsePost(const std::string& name, bool millimetres = true)
    {
        GCodeWriter().LoadFromIni(TIniFile(PostFileName(KB_DATA_SOURCE_DIR, name)), name, millimetres);
        Sim.PrepareText();
    }
    // Steps each line once, from the first.
    void StepAll()
    {
        Text.Caret = 0;
        for (size_t i = 0; i < Text.Lines.size(); ++i)
            Sim.StepText(Text);
    }
    template <class T> std::vector<const T*> Drawn()
    {
        std::vector<const T*> result;
        for (TSceneNodeId id : View.Scene.Children(Sim.TextOperation().DisplayGroup()))
            if (const T* t = View.Scene.As<T>(id))
                result.push_back(t);
        return result;
    }

    TRecordingViewServices View;
    TFakeSimView SimView;
    TFakeSimWindow Window;
    TFakeSimClock Clock;
    TFakeSimEcho Echo;
    TSimulatore2D Sim;
    TListText Text;

private:
    TPostProcessor m_SavedPost;
};

} // namespace kbtest
