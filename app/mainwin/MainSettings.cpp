// The main window's side of the settings: the tool window's settings and
// post-choice pages wired to the view, the toolbars and the operations
// tree; the Settings and help commands of the File toolbar; the automatic
// update check at the tool window's showing.

#include "app/frmMain.h"

#include "app/LayerDefaults.h"
#include "app/machining/MillingPages.h"
#include "app/machining/OperationPages.h"
#include "app/mainwin/HelpCommands.h"
#include "app/mainwin/MachiningMenu.h"
#include "app/mainwin/ViewCommands.h"
#include "app/toolwin/SettingsPages.h"
#include "app/toolwin/frmToolWin.h"
#include "app/update/UpdateCheck.h"
#include "cad/scene/QVScene.h"
#include "cad/ui/FormTranslate.h"
#include "cam/ops/OpManager.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/AppConfig.h"
#include "core/settings/CADPrompts.h"
#include "core/settings/Language.h"

#include <QDockWidget>
#include <QTimer>
#include <QToolBar>

void TfrmMain::BuildSettings(const std::string& programFolder)
{
    TSettingsHooks hooks;
    hooks.Bars = {m_tbrFile, &m_ViewCommands->tbrView(), m_tbrCreate, m_tbrEdit, m_toolWin, m_tbrMRU};
    hooks.ImpostaHint = [this] { ImpostaHint(); };
    hooks.ImpostaTbr = [this] { ImpostaTbr(); };
    hooks.RebuildScene = [this] { m_Scene.RebuildScene(false); };
    hooks.SetBackground = [this](uint32_t color) { m_Scene.SetBackgroundColor(color); };
    hooks.SetGridColor = [this](uint32_t color) { m_Scene.SetGridColor(color); };
    hooks.SetDefLayerColor = [this](uint32_t color) {
        CaricaImpLayers(m_Document, m_Config.ConfigFolder(), color);
        m_Document.RepaintViewports();
    };
    hooks.SetLatheFeedUnitCaptions = [this](bool millimetres) { SetLatheFeedUnitCaptions(*m_frmToolWin, millimetres); };
    hooks.Retranslate = [this] {
        TranslateForms({this, m_frmToolWin}, LanguageIni());
        m_OperationPages->Milling().InitOperationCombos();
        LoadStatusMessages();
        LoadCADPrompts();
    };
    hooks.SetOperationsRootText = [this](const std::string& text) {
        if (TOperationsTree* tree = m_MachiningMenu->OperationsTree())
            OpManager().SetNodeText(*tree, tree->Root(), text);
    };
    m_SettingsPages = std::make_unique<TSettingsPages>(*m_frmToolWin, m_Config, programFolder + "/languages",
                                                       std::move(hooks));
    m_SettingsPages->ShowCurrentPost(); // BuildMachining loaded it
    SetLatheFeedUnitCaptions(*m_frmToolWin, m_Config.Unit);
    m_HelpCommands =
        std::make_unique<THelpCommands>(*this, m_Config, programFolder, *m_SettingsPages, *m_tbrFile, m_mnuExit);

    // The automatic check: at a showing of the tool window while armed and
    // wanted, once the window is up.
    m_frmToolWin->ShowHooks.push_back([this] {
        if (!UpdateCheckArmed() || !m_Config.CheckForUpdate)
            return;
        SetUpdateCheckArmed(false);
        QTimer::singleShot(0, m_frmToolWin, [this] { RunWebUpdate(m_frmToolWin, true, m_HelpCommands->UpdateSetup()); });
    });
}
