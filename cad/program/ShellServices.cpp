#include "cad/program/ShellServices.h"

#include "cad/program/QV_00Prog.h"

namespace {

// No shell: nothing is shown, every field reads empty or off.
class TSilentShell final : public TShellServices {
public:
    void CurrLayerInfo() override {}
    void CurrLayerCol(uint32_t) override {}
    void QV_PrgEndOperation(TQV_00CADProg&, TCADStateClass, TQV_00CADPrgParam*) override {}
    void QV_PrgDescriptionChanged(TQV_00State&) override {}
    void GraphicViewMouseMove2D(const TShiftState&, double, double, int32_t, int32_t) override {}
    TOpenGeoPicker* OpenGeoPanel() override { return nullptr; }
    TOpenedFile OpenedFile() const override { return {}; }
    void ShowPages(const std::vector<TToolWinTab>&, const std::string&, int32_t, int32_t) override {}
    std::string ToolWinText(TToolWinText) const override { return {}; }
    void SetToolWinText(TToolWinText, const std::string&) override {}
    bool ToolWinChecked(TToolWinCheck) const override { return false; }
    int32_t ToolWinItemIndex(TToolWinIndex) const override { return -1; }
    bool CopySwitch() const override { return false; }
    bool UniformScaleSwitch() const override { return false; }
};

TSilentShell& SilentShell()
{
    static TSilentShell shell;
    return shell;
}

TShellServices* g_Shell = nullptr;

} // namespace

TShellServices& ShellServices() { return g_Shell ? *g_Shell : SilentShell(); }

TShellServices* SetShellServices(TShellServices* shell)
{
    TShellServices* previous = g_Shell;
    g_Shell = shell;
    return previous;
}

void ConnectShell(TQV_00Prog& prg, TShellServices& shell)
{
    prg.OnEndOperation = [&shell](TQV_00CADProg& sender, TCADStateClass operation, TQV_00CADPrgParam* param) {
        shell.QV_PrgEndOperation(sender, operation, param);
    };
    prg.OnDescriptionChanged = [&shell](TQV_00State& state) { shell.QV_PrgDescriptionChanged(state); };
    if (TCADViewPort* view = prg.ViewPortGL()) {
        view->OnMouseMove2D = [&shell](const TShiftState& shift, double wx, double wy, int32_t x, int32_t y) {
            shell.GraphicViewMouseMove2D(shift, wx, wy, x, y);
        };
    }
}
