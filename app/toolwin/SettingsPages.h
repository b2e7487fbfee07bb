#pragma once
// The settings page (tabSettings) and the post-processor choice page
// (tabPostSel) of the tool window. The settings object is their state:
// every change is stored at once and takes effect at once; the settings
// file is written when the program closes.
//
// What the pages change in the rest of the program goes through the hooks
// of TSettingsHooks, which the main window fills; an empty hook does
// nothing. Colours are kept as Windows values (0x00BBGGRR); each colour
// button carries its colour as the property "color" (a QColor) and asks
// for a new one through the prompt service.
//
// The toolbar boxes chkViewTbr1..6 follow the bars: a bar closed or shown
// by any road ticks or unticks its box, and the box shows or hides its bar.

#include <QPointer>

#include <array>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QToolButton;
class QWidget;
class TAppConfig;
class TfrmToolWin;

struct TSettingsHooks {
    // The main window's bars in the order of chkViewTbr1..6: tbrFile,
    // tbrView, tbrCreate, tbrEdit, the docked panel toolWin, tbrMRU.
    std::array<QWidget*, 6> Bars{};
    std::function<void()> ImpostaHint;
    std::function<void()> ImpostaTbr;
    // After a unit switch: the view's scene again, the stock kept.
    std::function<void()> RebuildScene;
    std::function<void(uint32_t color)> SetBackground;
    std::function<void(uint32_t color)> SetDefLayerColor;
    // Sets the grid colour and rebuilds the grid.
    std::function<void(uint32_t color)> SetGridColor;
    // The lathe page's feed-unit captions for the unit (true: millimetres).
    std::function<void(bool millimetres)> SetLatheFeedUnitCaptions;
    // After the language file changed: translate both windows, refill the
    // operation combos, reload the status texts and prompts.
    std::function<void()> Retranslate;
    // The operations tree's root text.
    std::function<void(const std::string& text)> SetOperationsRootText;
};

// Captions the lathe tool page's feed-unit radio buttons (rbtLatheUMin,
// rbtLatheURev) found below window for the unit; nothing where they are
// missing.
void SetLatheFeedUnitCaptions(QWidget& window, bool millimetres);

class TSettingsPages {
public:
    // Builds both pages on window and fills the settings page (the skin of
    // "SkinName" applied first). languageFolder holds the "*.lng" files.
    TSettingsPages(TfrmToolWin& window, TAppConfig& config, std::string languageFolder, TSettingsHooks hooks);
    ~TSettingsPages();
    TSettingsPages(const TSettingsPages&) = delete;
    TSettingsPages& operator=(const TSettingsPages&) = delete;

    void LoadSettingsPage();
    // The language names of the folder: file names without ".lng", sorted.
    static std::vector<std::string> LanguageNames(const std::string& languageFolder);
    // The main window's Settings command: the language list, then the page.
    void sbtConfigClick();

    void cboUnitsChange();
    void sbtResetClick();
    void nol_cboLangChange();
    void cboPostNameChange();
    void txtPstExtExit();
    // The post editor, modal; then the list and the current post again.
    void sbtPstEditClick();
    // The post names of the configuration folder into cboPostName, the
    // current one selected.
    void FillPostList();
    // Loads the current post into the G-code writer, a warning shown, and
    // shows it on the post page.
    void LoadCurrentPost();
    // Shows the post the writer holds (extension, comment, unit) on the
    // post page; the program loads it once at start-up.
    void ShowCurrentPost();

    QWidget& Sheet(const char* name) const;

private:
    void BuildSettingsPage();
    QWidget* BuildGeneralPage();
    QWidget* BuildAspectPage();
    QWidget* BuildToolbarPage();
    QWidget* BuildEditorPage();
    QWidget* BuildFoldersPage();
    QWidget* BuildDxfPage();
    void BuildPostPage();
    QPushButton* ColorBox(QWidget* parent, const char* name, std::function<void(uint32_t)> changed);
    void ShowColor(QPushButton& box, uint32_t color);
    void ShowTolerances(bool resetFormat);
    void MaxCurveSegChange();
    void sbtExtEditorClick();
    void ApplySkin(const std::string& name);

    TfrmToolWin& m_Window;
    TAppConfig& m_Config;
    std::string m_LanguageFolder;
    TSettingsHooks m_Hooks;
    bool m_Loading = false;

    QComboBox* m_cboUnits = nullptr;
    QLineEdit* m_txtSystemTol = nullptr;
    QLineEdit* m_txtChainTol = nullptr;
    QLineEdit* m_txtSimulTol = nullptr;
    QLineEdit* m_txtMaxCurveSeg = nullptr;
    QLineEdit* m_txtMaxArcFit = nullptr;
    QLineEdit* m_txtMaxUndo = nullptr;
    QCheckBox* m_chkForUpdate = nullptr;
    QComboBox* m_cboLang = nullptr;
    std::array<QPushButton*, 7> m_Colors{};
    std::array<QSpinBox*, 4> m_Widths{};
    QCheckBox* m_chkShowHints = nullptr;
    QToolButton* m_mnuSkin = nullptr;
    std::array<QCheckBox*, 6> m_chkViewTbr{};
    QRadioButton* m_rbtStyle1 = nullptr;
    QRadioButton* m_rbtStyle2 = nullptr;
    QCheckBox* m_chkUseExtEditor = nullptr;
    QPushButton* m_sbtExtEditor = nullptr;
    QCheckBox* m_chkDxfPolyInLA = nullptr;
    QComboBox* m_cboPostName = nullptr;
    QLineEdit* m_txtPstExt = nullptr;
    QRadioButton* m_rbtPstMm = nullptr;
    QRadioButton* m_rbtPstInch = nullptr;
};
