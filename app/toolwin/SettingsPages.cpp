#include "app/toolwin/SettingsPages.h"

#include "app/toolwin/frmToolWin.h"
#include "cad/program/EventGuard.h"
#include "cad/ui/AnsiText.h"
#include "cad/ui/CharKeyFilter.h"
#include "core/model/UserNotifier.h"
#include "core/settings/AppConfig.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"
#include "nc/post/PostProcessor.h"
#include "nc/ui/NodraMain.h"
#include "nc/ui/frmPstEdit.h"
#include "nc/writer/ScriveGCode.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QDockWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>

namespace {

template <typename F>
auto Guarded(F f)
{
    return [f = std::move(f)](auto&&...) { GuardedCall(f); };
}

QString Fixed(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%0.*f", decimals, value);
    return QString::fromLatin1(text);
}

// A decimal text as the settings take it ("." as the point); none when it
// is not a whole number text.
std::optional<double> ParseDecimal(const QString& text)
{
    const std::string s = text.trimmed().toStdString();
    double value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || error != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

QLineEdit* Edit(QWidget* parent, QFormLayout& form, const char* label, const char* name, TCharKeyFilter::TFilter filter)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    TCharKeyFilter::Install(*edit, filter);
    auto* caption = new QLabel(QString::fromLatin1(label), parent);
    caption->setObjectName(QStringLiteral("lbl") + QString::fromLatin1(name + 3));
    form.addRow(caption, edit);
    return edit;
}

QColor WinColorToQColor(uint32_t color)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

} // namespace

TSettingsPages::TSettingsPages(TfrmToolWin& window, TAppConfig& config, std::string languageFolder,
                               TSettingsHooks hooks)
    : m_Window(window), m_Config(config), m_LanguageFolder(std::move(languageFolder)), m_Hooks(std::move(hooks))
{
    BuildSettingsPage();
    BuildPostPage();
    ApplySkin(m_Config.SkinName);
    LoadSettingsPage();
    for (size_t i = 0; i < m_Hooks.Bars.size(); ++i) {
        QWidget* bar = m_Hooks.Bars[i];
        if (!bar)
            continue;
        QCheckBox* box = m_chkViewTbr[i];
        // Hidden with its window is not closed: only a bar hidden itself
        // unticks its box.
        const auto follow = [box, bar](bool) { box->setChecked(!bar->isHidden()); };
        if (auto* toolbar = qobject_cast<QToolBar*>(bar))
            QObject::connect(toolbar, &QToolBar::visibilityChanged, box, follow);
        else if (auto* dock = qobject_cast<QDockWidget*>(bar))
            QObject::connect(dock, &QDockWidget::visibilityChanged, box, follow);
    }
}

TSettingsPages::~TSettingsPages() = default;

QWidget& TSettingsPages::Sheet(const char* name) const
{
    return *m_Window.findChild<QWidget*>(QString::fromLatin1(name));
}

// --- Building -----------------------------------------------------------------------------------

void TSettingsPages::BuildSettingsPage()
{
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("sheetSettings"));
    auto* layout = new QVBoxLayout(sheet);
    auto* tabs = new QTabWidget(sheet);
    tabs->setObjectName(QStringLiteral("pgCtrSettings"));
    const std::tuple<QWidget*, const char*, const char*> pages[] = {
        {BuildGeneralPage(), "tabSetGeneral", "General"}, {BuildAspectPage(), "tabSetAspect", "Aspect"},
        {BuildToolbarPage(), "tabSetTbr", "Toolbars"},    {BuildEditorPage(), "tabSetEditor", "Editor"},
        {BuildFoldersPage(), "tabSetDir", "Folders"},     {BuildDxfPage(), "tabSetDxf", "DXF"},
    };
    for (const auto& [page, tab, caption] : pages) {
        tabs->addTab(page, QString::fromLatin1(caption));
        // The sheet keeps its own name where it has one (sheetSetToolbar).
        if (page->objectName().isEmpty())
            page->setObjectName(QString::fromLatin1(tab));
    }
    layout->addWidget(tabs);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), sheet);
    ok->setObjectName(QStringLiteral("sbtSettingsOk"));
    auto* reset = new QPushButton(QStringLiteral("Reset"), sheet);
    reset->setObjectName(QStringLiteral("sbtReset"));
    buttons->addWidget(reset);
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons);
    QObject::connect(ok, &QPushButton::clicked, sheet, Guarded([this] { m_Window.RequestHide(); }));
    QObject::connect(reset, &QPushButton::clicked, sheet, Guarded([this] { sbtResetClick(); }));
    m_Window.AddPage("tabSettings", sheet, {});
}

QWidget* TSettingsPages::BuildGeneralPage()
{
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    m_cboUnits = new QComboBox(page);
    m_cboUnits->setObjectName(QStringLiteral("cboUnits"));
    m_cboUnits->addItems({QStringLiteral("mm"), QStringLiteral("inch")});
    form->addRow(QStringLiteral("Unit"), m_cboUnits);
    m_txtSystemTol = Edit(page, *form, "System tolerance", "txtSystemTol", &DecimalKeyFilter);
    m_txtChainTol = Edit(page, *form, "Chain tolerance", "txtChainTol", &DecimalKeyFilter);
    m_txtSimulTol = Edit(page, *form, "Simulation tolerance", "txtSimulTol", &DecimalKeyFilter);
    m_txtMaxCurveSeg = Edit(page, *form, "Curve segments", "txtMaxCurveSeg", &DigitKeyFilter);
    m_txtMaxArcFit = Edit(page, *form, "Largest fitted radius", "txtMaxArcFit", &DigitKeyFilter);
    m_txtMaxUndo = Edit(page, *form, "Undo steps", "txtMaxUndo", &DigitKeyFilter);
    m_txtMaxUndo->setText(QStringLiteral("20"));
    m_chkForUpdate = new QCheckBox(QStringLiteral("Check for updates"), page);
    m_chkForUpdate->setObjectName(QStringLiteral("chkForUpdate"));
    form->addRow(m_chkForUpdate);
    m_cboLang = new QComboBox(page);
    m_cboLang->setObjectName(QStringLiteral("nol_cboLang"));
    // The current language shows even when no file of the folder names it.
    m_cboLang->setEditable(true);
    m_cboLang->lineEdit()->setReadOnly(true);
    form->addRow(QStringLiteral("Language"), m_cboLang);

    QObject::connect(m_cboUnits, &QComboBox::activated, page, Guarded([this] { cboUnitsChange(); }));
    const std::pair<QLineEdit*, double TAppConfig::*> decimals[] = {
        {m_txtSystemTol, &TAppConfig::SystemTol},
        {m_txtChainTol, &TAppConfig::ChainTol},
        {m_txtSimulTol, &TAppConfig::SimulTol},
        {m_txtMaxArcFit, &TAppConfig::MaxArcFit},
    };
    for (const auto& [edit, field] : decimals) {
        QObject::connect(edit, &QLineEdit::textChanged, page, [this, edit = edit, field = field](const QString& text) {
            // A text that is no number yet (empty while typing) changes
            // nothing: the setting keeps its value.
            if (const std::optional<double> value = ParseDecimal(text); value && !m_Loading)
                m_Config.*field = *value;
        });
        (void)edit;
    }
    for (QLineEdit* edit : {m_txtMaxCurveSeg, m_txtMaxUndo})
        QObject::connect(edit, &QLineEdit::textChanged, page, Guarded([this] { MaxCurveSegChange(); }));
    QObject::connect(m_chkForUpdate, &QCheckBox::toggled, page, [this](bool on) {
        if (!m_Loading)
            m_Config.CheckForUpdate = on;
    });
    QObject::connect(m_cboLang, &QComboBox::activated, page, Guarded([this] { nol_cboLangChange(); }));
    return page;
}

QWidget* TSettingsPages::BuildAspectPage()
{
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    const auto stored = [this](uint32_t TAppConfig::*field, std::function<void(uint32_t)> apply) {
        return [this, field, apply = std::move(apply)](uint32_t color) {
            m_Config.*field = color;
            if (apply)
                apply(color);
        };
    };
    const auto hook = [](const std::function<void(uint32_t)>& f) {
        return [&f](uint32_t color) {
            if (f)
                f(color);
        };
    };
    const std::tuple<const char*, const char*, std::function<void(uint32_t)>> boxes[] = {
        {"Background", "ColorBoxBackground", stored(&TAppConfig::BackGround, hook(m_Hooks.SetBackground))},
        {"Layers", "ColorBoxDefLayers", stored(&TAppConfig::DefLayers, hook(m_Hooks.SetDefLayerColor))},
        {"Grid", "ColorBoxGrid", stored(&TAppConfig::Grid, hook(m_Hooks.SetGridColor))},
        {"Rapid moves", "ColorBoxG0", stored(&TAppConfig::ToolPathG0, {})},
        {"Feed moves", "ColorBoxG1", stored(&TAppConfig::ToolPathG1, {})},
        {"Arc moves", "ColorBoxG2", stored(&TAppConfig::ToolPathG2, {})},
        {"Chains", "ColorBoxCh", stored(&TAppConfig::Chain, {})},
    };
    for (size_t i = 0; i < m_Colors.size(); ++i) {
        const auto& [label, name, changed] = boxes[i];
        m_Colors[i] = ColorBox(page, name, changed);
        form->addRow(QString::fromLatin1(label), m_Colors[i]);
    }
    const std::tuple<const char*, const char*, int32_t TAppConfig::*> widths[] = {
        {"speG0_LW", "Rapid line width", &TAppConfig::ToolPathG0LW},
        {"speG1_LW", "Feed line width", &TAppConfig::ToolPathG1LW},
        {"speG2_LW", "Arc line width", &TAppConfig::ToolPathG2LW},
        {"speCh_LW", "Chain line width", &TAppConfig::ChainLW},
    };
    for (size_t i = 0; i < m_Widths.size(); ++i) {
        auto* spin = new QSpinBox(page);
        const auto& [name, label, field] = widths[i];
        spin->setObjectName(QString::fromLatin1(name));
        spin->setRange(1, 10);
        form->addRow(QString::fromLatin1(label), spin);
        QObject::connect(spin, &QSpinBox::valueChanged, page, [this, field = field](int value) {
            if (!m_Loading)
                m_Config.*field = value;
        });
        m_Widths[i] = spin;
    }
    m_chkShowHints = new QCheckBox(QStringLiteral("Show hints"), page);
    m_chkShowHints->setObjectName(QStringLiteral("chkShowHints"));
    form->addRow(m_chkShowHints);
    QObject::connect(m_chkShowHints, &QCheckBox::toggled, page, Guarded([this] {
                         if (m_Loading)
                             return;
                         m_Config.ShowInt = m_chkShowHints->isChecked();
                         if (m_Hooks.ImpostaHint)
                             m_Hooks.ImpostaHint();
                     }));
    m_mnuSkin = new QToolButton(page);
    m_mnuSkin->setObjectName(QStringLiteral("mnuSkin"));
    m_mnuSkin->setPopupMode(QToolButton::InstantPopup);
    auto* skins = new QMenu(m_mnuSkin);
    skins->setObjectName(QStringLiteral("SpTBXSkinGroupItem1"));
    for (const QString& key : QStyleFactory::keys()) {
        QAction* item = skins->addAction(key);
        QObject::connect(item, &QAction::triggered, page, Guarded([this, key] {
                             ApplySkin(key.toStdString());
                             m_Config.SkinName = key.toStdString();
                             m_mnuSkin->setText(key);
                         }));
    }
    m_mnuSkin->setMenu(skins);
    form->addRow(QStringLiteral("Skin"), m_mnuSkin);
    return page;
}

QWidget* TSettingsPages::BuildToolbarPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("sheetSetToolbar"));
    auto* layout = new QVBoxLayout(page);
    const char* const captions[] = {"File", "View", "Create", "Edit", "Trees", "Recent commands"};
    for (size_t i = 0; i < m_chkViewTbr.size(); ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(captions[i]), page);
        box->setObjectName(QStringLiteral("chkViewTbr%1").arg(i + 1));
        layout->addWidget(box);
        QObject::connect(box, &QCheckBox::toggled, page, [this, i](bool checked) {
            if (QWidget* bar = m_Hooks.Bars[i]; bar && !m_Loading && bar->isHidden() == checked)
                bar->setVisible(checked);
        });
        m_chkViewTbr[i] = box;
    }
    m_rbtStyle1 = new QRadioButton(QStringLiteral("Images and captions"), page);
    m_rbtStyle1->setObjectName(QStringLiteral("rbtTbrSetStyle1"));
    m_rbtStyle2 = new QRadioButton(QStringLiteral("Images only"), page);
    m_rbtStyle2->setObjectName(QStringLiteral("rbtTbrSetStyle2"));
    layout->addWidget(m_rbtStyle1);
    layout->addWidget(m_rbtStyle2);
    layout->addStretch();
    for (QRadioButton* style : {m_rbtStyle1, m_rbtStyle2})
        QObject::connect(style, &QRadioButton::clicked, page, Guarded([this] {
                             m_Config.TbrImagesOnly = !m_rbtStyle1->isChecked();
                             if (m_Hooks.ImpostaTbr)
                                 m_Hooks.ImpostaTbr();
                         }));
    return page;
}

QWidget* TSettingsPages::BuildEditorPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    m_chkUseExtEditor = new QCheckBox(QStringLiteral("Use an external editor"), page);
    m_chkUseExtEditor->setObjectName(QStringLiteral("chkUseExtEditor"));
    m_sbtExtEditor = new QPushButton(page);
    m_sbtExtEditor->setObjectName(QStringLiteral("sbtExtEditor"));
    layout->addWidget(m_chkUseExtEditor);
    layout->addWidget(m_sbtExtEditor);
    layout->addStretch();
    QObject::connect(m_chkUseExtEditor, &QCheckBox::toggled, page, [this](bool on) {
        m_sbtExtEditor->setEnabled(on);
        if (!m_Loading)
            m_Config.UseExtEditor = on;
    });
    QObject::connect(m_sbtExtEditor, &QPushButton::clicked, page, Guarded([this] { sbtExtEditorClick(); }));
    return page;
}

QWidget* TSettingsPages::BuildFoldersPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("sheetSetDir"));
    auto* layout = new QVBoxLayout(page);
    auto* group = new QGroupBox(QStringLiteral("Folders"), page);
    group->setObjectName(QStringLiteral("grpConfDir"));
    auto* form = new QFormLayout(group);
    const std::pair<const char*, std::string> folders[] = {
        {"Settings", m_Config.ConfigFolder()},
        {"Tools", m_Config.ToolsFolder()},
        {"Drawings", m_Config.FilePath_Geo},
        {"G-code", m_Config.FilePath_Cnc},
    };
    for (const auto& [label, folder] : folders) {
        auto* edit = new QLineEdit(QString::fromStdString(folder), group);
        edit->setReadOnly(true);
        form->addRow(QString::fromLatin1(label), edit);
    }
    layout->addWidget(group);
    layout->addStretch();
    return page;
}

QWidget* TSettingsPages::BuildDxfPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    m_chkDxfPolyInLA = new QCheckBox(QStringLiteral("Polylines as lines and arcs"), page);
    m_chkDxfPolyInLA->setObjectName(QStringLiteral("chkDxfPolyInLA"));
    layout->addWidget(m_chkDxfPolyInLA);
    layout->addStretch();
    QObject::connect(m_chkDxfPolyInLA, &QCheckBox::toggled, page, [this](bool on) {
        if (!m_Loading)
            m_Config.DxfPolyInLA = on;
    });
    return page;
}

void TSettingsPages::BuildPostPage()
{
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("sheetPostSel"));
    auto* outer = new QVBoxLayout(sheet);
    auto* group = new QGroupBox(sheet);
    group->setObjectName(QStringLiteral("grpCnc1a"));
    auto* layout = new QVBoxLayout(group);
    m_cboPostName = new QComboBox(group);
    m_cboPostName->setObjectName(QStringLiteral("cboPostName"));
    auto* comment = new QListWidget(group);
    comment->setObjectName(QStringLiteral("lstPstCommento"));
    auto* edit = new QPushButton(QStringLiteral("Edit..."), group);
    edit->setObjectName(QStringLiteral("sbtPstEdit"));
    auto* rapid = new QLineEdit(QStringLiteral("10000"), group);
    rapid->setObjectName(QStringLiteral("txtRapidFeedrate"));
    m_txtPstExt = new QLineEdit(group);
    m_txtPstExt->setObjectName(QStringLiteral("txtPstExt"));
    m_rbtPstMm = new QRadioButton(QStringLiteral("mm"), group);
    m_rbtPstMm->setObjectName(QStringLiteral("rbtPstMm"));
    m_rbtPstInch = new QRadioButton(QStringLiteral("inch"), group);
    m_rbtPstInch->setObjectName(QStringLiteral("rbtPstInch"));
    for (QRadioButton* unit : {m_rbtPstMm, m_rbtPstInch})
        unit->setEnabled(false);
    auto* ok = new QPushButton(QStringLiteral("OK"), group);
    ok->setObjectName(QStringLiteral("sbtPstOk"));
    for (QWidget* w : std::initializer_list<QWidget*>{m_cboPostName, comment, edit, rapid, m_txtPstExt, m_rbtPstMm,
                                                      m_rbtPstInch, ok})
        layout->addWidget(w);
    outer->addWidget(group);
    QObject::connect(m_cboPostName, &QComboBox::activated, sheet, Guarded([this] { cboPostNameChange(); }));
    QObject::connect(m_txtPstExt, &QLineEdit::editingFinished, sheet, Guarded([this] { txtPstExtExit(); }));
    QObject::connect(ok, &QPushButton::clicked, sheet, Guarded([this] { m_Window.RequestHide(); }));
    QObject::connect(edit, &QPushButton::clicked, sheet, Guarded([this] { sbtPstEditClick(); }));
    m_Window.AddPage("tabPostSel", sheet, {});
    FillPostList();
}

QPushButton* TSettingsPages::ColorBox(QWidget* parent, const char* name, std::function<void(uint32_t)> changed)
{
    auto* box = new QPushButton(parent);
    box->setObjectName(QString::fromLatin1(name));
    QObject::connect(box, &QPushButton::clicked, parent, Guarded([this, box, changed = std::move(changed)] {
                         const QColor shown = box->property("color").value<QColor>();
                         const uint32_t current = uint32_t(shown.red()) | uint32_t(shown.green()) << 8 |
                                                  uint32_t(shown.blue()) << 16;
                         const std::optional<uint32_t> chosen = UserNotifier().AskColor(current);
                         if (!chosen)
                             return;
                         ShowColor(*box, *chosen);
                         changed(*chosen);
                     }));
    return box;
}

void TSettingsPages::ShowColor(QPushButton& box, uint32_t color)
{
    const QColor shown = WinColorToQColor(color);
    box.setProperty("color", shown);
    box.setStyleSheet(QStringLiteral("background-color: %1").arg(shown.name()));
}

// --- Filling ------------------------------------------------------------------------------------

void TSettingsPages::LoadSettingsPage()
{
    m_Loading = true;
    ShowTolerances(false);
    m_chkForUpdate->setChecked(m_Config.CheckForUpdate);
    m_cboLang->setEditText(QString::fromStdString(m_Config.Language));
    m_cboUnits->setCurrentIndex(m_Config.UnitIndex() == 1 ? 0 : 1);
    m_rbtStyle2->setChecked(m_Config.TbrImagesOnly);
    m_rbtStyle1->setChecked(!m_Config.TbrImagesOnly);
    m_chkShowHints->setChecked(m_Config.ShowInt);
    m_chkUseExtEditor->setChecked(m_Config.UseExtEditor);
    m_sbtExtEditor->setEnabled(m_Config.UseExtEditor);
    m_sbtExtEditor->setText(QString::fromStdString(m_Config.ExtEditor));
    for (size_t i = 0; i < m_chkViewTbr.size(); ++i)
        m_chkViewTbr[i]->setChecked(m_Hooks.Bars[i] && !m_Hooks.Bars[i]->isHidden());
    const uint32_t colors[] = {m_Config.BackGround, m_Config.DefLayers, m_Config.Grid,      m_Config.ToolPathG0,
                               m_Config.ToolPathG1, m_Config.ToolPathG2, m_Config.Chain};
    for (size_t i = 0; i < m_Colors.size(); ++i)
        ShowColor(*m_Colors[i], colors[i]);
    const int32_t widths[] = {m_Config.ToolPathG0LW, m_Config.ToolPathG1LW, m_Config.ToolPathG2LW, m_Config.ChainLW};
    for (size_t i = 0; i < m_Widths.size(); ++i)
        m_Widths[i]->setValue(widths[i]);
    m_mnuSkin->setText(QString::fromStdString(m_Config.SkinName));
    m_chkDxfPolyInLA->setChecked(m_Config.DxfPolyInLA);
    m_Loading = false;
}

void TSettingsPages::ShowTolerances(bool resetFormat)
{
    const bool was = m_Loading;
    m_Loading = true;
    m_txtSystemTol->setText(Fixed(m_Config.SystemTol, 6));
    m_txtChainTol->setText(Fixed(m_Config.ChainTol, 6));
    m_txtSimulTol->setText(Fixed(m_Config.SimulTol, resetFormat ? 3 : 6));
    m_txtMaxArcFit->setText(AnsiToQString(Format3DecimalsTrim(m_Config.MaxArcFit)));
    m_txtMaxCurveSeg->setText(QString::number(m_Config.MaxCurveSeg));
    m_Loading = was;
}

std::vector<std::string> TSettingsPages::LanguageNames(const std::string& languageFolder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(languageFolder, error)) {
        const std::filesystem::path& path = entry.path();
        if (path.extension() == ".lng" && entry.is_regular_file(error))
            names.push_back(path.stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void TSettingsPages::sbtConfigClick()
{
    m_Loading = true;
    m_cboLang->clear();
    for (const std::string& name : LanguageNames(m_LanguageFolder))
        m_cboLang->addItem(QString::fromStdString(name));
    const QString current = QString::fromStdString(m_Config.Language);
    m_cboLang->setCurrentIndex(m_cboLang->findText(current));
    m_cboLang->setEditText(current);
    m_Loading = false;
    m_Window.ShowPages({"tabSettings"}, "twSettings", 332, 388);
}

// --- Handlers -----------------------------------------------------------------------------------

void TSettingsPages::MaxCurveSegChange()
{
    if (m_Loading)
        return;
    const std::string text = m_txtMaxCurveSeg->text().toStdString();
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || end != text.data() + text.size()) {
        // Not a number yet: the setting keeps its value.
        return;
    }
    // Past the range of the digits (a long run of digits) counts as too many.
    if (error == std::errc::result_out_of_range)
        value = kMaxCurveSegLimit + 1;
    // Below one segment a curve has no outline at all.
    const int64_t stored = std::clamp<int64_t>(value, 1, kMaxCurveSegLimit);
    m_Config.MaxCurveSeg = int32_t(stored);
    if (stored != value) {
        m_Loading = true;
        m_txtMaxCurveSeg->setText(QString::number(stored));
        m_txtMaxCurveSeg->setCursorPosition(int(m_txtMaxCurveSeg->text().size()));
        m_Loading = false;
    }
}

void TSettingsPages::cboUnitsChange()
{
    m_Config.SetUnit(m_cboUnits->currentIndex() == 0);
    m_Config.MaxCurveSeg = 200;
    if (m_Hooks.RebuildScene)
        m_Hooks.RebuildScene();
    ShowTolerances(true);
    if (m_Hooks.SetLatheFeedUnitCaptions)
        m_Hooks.SetLatheFeedUnitCaptions(m_Config.Unit);
}

void TSettingsPages::sbtResetClick()
{
    m_Config.ResetColors();
    const std::pair<size_t, uint32_t> shown[] = {
        {0, m_Config.BackGround}, {1, m_Config.DefLayers},  {2, m_Config.Grid},
        {3, m_Config.ToolPathG0}, {4, m_Config.ToolPathG1}, {5, m_Config.ToolPathG2},
    };
    for (const auto& [box, color] : shown)
        ShowColor(*m_Colors[box], color);
    // The view takes the restored colours at once, as a choice would.
    if (m_Hooks.SetBackground)
        m_Hooks.SetBackground(m_Config.BackGround);
    if (m_Hooks.SetDefLayerColor)
        m_Hooks.SetDefLayerColor(m_Config.DefLayers);
    if (m_Hooks.SetGridColor)
        m_Hooks.SetGridColor(m_Config.Grid);
    ShowTolerances(true);
    m_chkUseExtEditor->setChecked(false);
    for (size_t bar : {0u, 2u, 1u, 3u, 4u})
        if (m_Hooks.Bars[bar])
            m_Hooks.Bars[bar]->show();
}

void TSettingsPages::nol_cboLangChange()
{
    const std::string name = m_cboLang->currentText().toStdString();
    SetLanguageIni(nullptr);
    SetLanguageIni(ReadLanguageFile(m_LanguageFolder + "/" + name + ".lng"));
    m_Config.Language = name;
    if (m_Hooks.Retranslate)
        m_Hooks.Retranslate();
}

void TSettingsPages::sbtExtEditorClick()
{
    TFileRequest request;
    request.Filters = {TFileFilter{"All files", {"*"}}};
    request.Folder = QFileInfo(QString::fromStdString(m_Config.ExtEditor)).absolutePath().toStdString();
    request.FileName = m_Config.ExtEditor;
    const std::string chosen = UserNotifier().AskOpenFileName(request);
    if (chosen.empty())
        return;
    const QFileInfo file(QString::fromStdString(chosen));
    if (!file.isFile() || !file.isExecutable()) {
        UserNotifier().ShowMessage(EMessageKind::Warning,
                                   LangFormat(LangText(LangKeys::String::EditorNotExecutable), {chosen}),
                                   LangText(LangKeys::String::ErrorCaption));
        return;
    }
    m_Config.ExtEditor = chosen;
    m_sbtExtEditor->setText(QString::fromStdString(chosen));
}

void TSettingsPages::ApplySkin(const std::string& name)
{
    const QString key = QString::fromStdString(name);
    for (const QString& style : QStyleFactory::keys())
        if (style.compare(key, Qt::CaseInsensitive) == 0) {
            QApplication::setStyle(style);
            return;
        }
}

void SetLatheFeedUnitCaptions(QWidget& window, bool millimetres)
{
    using namespace LangKeys::String;
    const std::pair<const char*, std::string_view> captions[] = {
        {"rbtLatheUMin", millimetres ? LatheFeedMinMm : LatheFeedMinInch},
        {"rbtLatheURev", millimetres ? LatheFeedRevMm : LatheFeedRevInch},
    };
    for (const auto& [name, key] : captions)
        if (auto* button = window.findChild<QRadioButton*>(QString::fromLatin1(name)))
            button->setText(AnsiToQString(LangText(key)));
}

// --- Post-processor choice ----------------------------------------------------------------------

void TSettingsPages::FillPostList()
{
    m_cboPostName->clear();
    for (const std::string& name : ListPostNames(m_Config.ConfigFolder()))
        m_cboPostName->addItem(QString::fromStdString(name));
    m_cboPostName->setCurrentIndex(m_cboPostName->findText(QString::fromStdString(m_Config.Pst)));
}

void TSettingsPages::LoadCurrentPost()
{
    const std::string warning = GCodeWriter().LoadPst(m_Config.ConfigFolder());
    ShowCurrentPost();
    if (!warning.empty())
        UserNotifier().ShowMessage(EMessageKind::Warning, warning, std::string());
}

void TSettingsPages::ShowCurrentPost()
{
    const TScriveGCode& writer = GCodeWriter();
    m_txtPstExt->setText(QString::fromStdString(writer.FileExtension));
    if (auto* comment = m_Window.findChild<QListWidget*>(QStringLiteral("lstPstCommento"))) {
        comment->clear();
        for (const std::string& line : writer.PostComment)
            comment->addItem(AnsiToQString(line));
    }
    m_rbtPstMm->setChecked(m_Config.Unit);
    m_rbtPstInch->setChecked(!m_Config.Unit);
}

void TSettingsPages::cboPostNameChange()
{
    const std::string name = m_cboPostName->currentText().toStdString();
    m_Config.Pst = name;
    if (m_Hooks.SetOperationsRootText)
        m_Hooks.SetOperationsRootText(LangMainText(LangKeys::frmMain::OpTreeRoot) + " " + name);
    LoadCurrentPost();
    if (GCodeWriter().PstVersion < 3)
        UserNotifier().ShowMessage(EMessageKind::Plain,
                                   LangText(LangKeys::String::ErrorCaption) + LangText(LangKeys::String::PstOldVersion),
                                   std::string());
    QLabel* simFor = NodraEditor() ? NodraEditor()->findChild<QLabel*>(QStringLiteral("lblSimFor")) : nullptr;
    if (simFor)
        simFor->setText(AnsiToQString(LangToolWinCaption(LangKeys::frmToolWin::lblSimFor) + " " + name));
}

void TSettingsPages::sbtPstEditClick()
{
    TfrmPstEdit editor(m_Config.ConfigFolder(), m_Config.Pst, &m_Window);
    UserNotifier().RunDialog("frmPstEdit", [&editor] { return editor.exec(); });
    // A save under a new name made that post the current one.
    FillPostList();
    LoadCurrentPost();
}

void TSettingsPages::txtPstExtExit()
{
    GCodeWriter().FileExtension = m_txtPstExt->text().toStdString();
}
