#include "fuzz/FuzzEntries.h"

#include "nc/editor/TextSimulation.h"
#include "nc/sim/Simulatore2D.h"
#include "nc/writer/ScriveGCode.h"

#include <string>
#include <string_view>
#include <vector>

namespace {

// The text as lines, as the editor hands it to the simulation.
class TLinesText final : public TGCodeTextSource {
public:
    explicit TLinesText(std::string_view text)
    {
        while (true) {
            const size_t eol = text.find('\n');
            m_Lines.emplace_back(text.substr(0, eol));
            if (eol == std::string_view::npos)
                break;
            text.remove_prefix(eol + 1);
        }
    }
    int LineCount() const override { return static_cast<int>(m_Lines.size()); }
    std::string LineText(int line) const override { return m_Lines.at(static_cast<size_t>(line)); }
    void SelectLine(int line) override { m_Caret = line; }
    void ScrollLines(int) override {}
    int CaretLine() const override { return m_Caret; }
    void MoveCaretToStart() override { m_Caret = 0; }
    void Focus() override {}
    void ShowCurrentZ(double) override {}

private:
    std::vector<std::string> m_Lines;
    int m_Caret = 0;
};

} // namespace

// The first byte picks the writer's dialect (the text simulation reads with
// the writer's post), its arc-centre mode, diameter and incremental modes;
// the rest is the editor's text, played whole and then stepped line by line.
int KbFuzzGCodeText(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    TScriveGCode& writer = GCodeWriter();
    const TPostProcessor saved = writer;
    const uint8_t flags = data[0];
    writer.Dialect = static_cast<uint8_t>(flags % 7);
    writer.ArcCenter = (flags >> 3) % 5;
    writer.XDiameterMode = (flags & 0x20) != 0;
    writer.IncrementalMode = (flags & 0x40) != 0;
    writer.StartComment = (flags & 0x80) ? ";" : "(";
    TLinesText text(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    {
        TSimulatore2D sim;
        sim.PrepareText();
        sim.PlayText(text);
        sim.RewindText(text);
        for (int i = 0; i < text.LineCount(); ++i)
            sim.StepText(text);
        sim.EndTextSimulation();
    }
    static_cast<TPostProcessor&>(writer) = saved;
    return 0;
}
