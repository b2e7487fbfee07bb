#include "io/ui/TLP2Geo.h"

#include "cad/program/EventGuard.h"
#include "cad/ui/AnsiText.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/model/UserNotifier.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include <filesystem>

std::string ToolpathDxfTarget(const std::string& path)
{
    if (path.empty() || path.back() == '/' || path.back() == '\\')
        return path + "t.dxf";
    return path;
}

TTLP2Geo::TTLP2Geo(TAppConfig& config, const TQV_01Cmp2D& document, std::function<void()> layerDialog,
                   QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Tool), m_Config(config), m_Document(document), m_LayerDialog(std::move(layerDialog))
{
    setObjectName(QStringLiteral("TTLP2Geo"));
    setWindowTitle(AnsiToQString(LangText(LangKeys::String::TLP2GeoCaption)));
    setFixedSize(DesignWidth, DesignHeight);
    if (mainWindow)
        move(mainWindow->x() + 10, mainWindow->y() + 10);

    m_grpChoice = new QGroupBox(AnsiToQString(LangText(LangKeys::String::TLP2GeoGroup)), this);
    m_grpChoice->setGeometry(8, 16, width() - 20, 130);
    const int inner = m_grpChoice->width() - 16;
    m_rbtDrawing = new QRadioButton(AnsiToQString(LangText(LangKeys::String::TLP2GeoToDrawing)), m_grpChoice);
    m_rbtDrawing->setGeometry(8, 18, inner, 18);
    m_rbtFile = new QRadioButton(AnsiToQString(LangText(LangKeys::String::TLP2GeoToFile)), m_grpChoice);
    m_rbtFile->setGeometry(8, 36, inner, 18);

    m_Config.FilePath_T2Dxf = ToolpathDxfTarget(m_Config.FilePath_T2Dxf);
    m_sbtFile = new QPushButton(m_grpChoice);
    m_sbtFile->setGeometry(8, 60, inner, 24);
    SetFileCaption(LangText(LangKeys::String::TLP2GeoFile) + " " + m_Config.FilePath_T2Dxf);
    m_sbtLayer = new QPushButton(m_grpChoice);
    m_sbtLayer->setGeometry(8, 90, inner, 24);
    ShowLayer();

    m_sbtOk = new QPushButton(AnsiToQString(LangText(LangKeys::String::TLP2GeoOk)), this);
    m_sbtOk->setGeometry(width() - 190, height() - 40, 75, 25);
    m_sbtOk->setDefault(true);
    m_sbtCancel = new QPushButton(AnsiToQString(LangText(LangKeys::String::TLP2GeoCancel)), this);
    m_sbtCancel->setGeometry(width() - 80, height() - 40, 75, 25);

    connect(m_rbtDrawing, &QRadioButton::clicked, this, [this] { GuardedCall([this] { ToDrawingClick(); }); });
    connect(m_rbtFile, &QRadioButton::clicked, this, [this] { GuardedCall([this] { ToFileClick(); }); });
    connect(m_sbtFile, &QPushButton::clicked, this, [this] { GuardedCall([this] { FileButtonClick(); }); });
    connect(m_sbtLayer, &QPushButton::clicked, this, [this] { GuardedCall([this] { LayerButtonClick(); }); });
    connect(m_sbtOk, &QPushButton::clicked, this, [this] { GuardedCall([this] { OkClick(); }); });
    connect(m_sbtCancel, &QPushButton::clicked, this, [this] { GuardedCall([this] { CancelClick(); }); });
}

bool TTLP2Geo::Execute()
{
    Accepted = 0;
    UserNotifier().RunDialog("TTLP2Geo", [this] { return exec(); });
    return Accepted == 1;
}

void TTLP2Geo::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    DoShow();
}

void TTLP2Geo::DoShow()
{
    if (m_Config.Tlp2DXF) {
        m_rbtFile->setChecked(true);
        ToFileClick();
    } else {
        m_rbtDrawing->setChecked(true);
        ToDrawingClick();
    }
}

void TTLP2Geo::ToDrawingClick()
{
    m_sbtFile->setEnabled(false);
    m_Config.Tlp2DXF = false;
}

void TTLP2Geo::ToFileClick()
{
    m_sbtFile->setEnabled(true);
    m_Config.Tlp2DXF = true;
}

void TTLP2Geo::FileButtonClick()
{
    TFileRequest request;
    request.Filters = {{"Dxf files", {"dxf"}}};
    request.Folder = std::filesystem::path(m_Config.FilePath_T2Dxf).parent_path().string();
    request.FileName = m_Config.FilePath_T2Dxf;
    request.DefaultSuffix = "dxf";
    request.OverwritePrompt = true;
    const std::string chosen = UserNotifier().AskSaveFileName(request);
    if (chosen.empty())
        return;
    m_Config.FilePath_T2Dxf = chosen;
    SetFileCaption(LangGRBLCaption(LangKeys::frmGRBL::grpGRBLFileName) + chosen);
}

void TTLP2Geo::LayerButtonClick()
{
    if (m_LayerDialog)
        m_LayerDialog();
    ShowLayer();
}

void TTLP2Geo::OkClick()
{
    Accepted = 1;
    done(QDialog::Accepted);
}

void TTLP2Geo::CancelClick()
{
    done(QDialog::Rejected);
}

void TTLP2Geo::SetFileCaption(const std::string& caption)
{
    m_FileCaption = caption;
    // A long path keeps its start and its file name.
    const QString text = AnsiToQString(caption);
    m_sbtFile->setText(m_sbtFile->fontMetrics().elidedText(text, Qt::ElideMiddle, m_sbtFile->width() - 12));
    m_sbtFile->setToolTip(text);
}

void TTLP2Geo::ShowLayer()
{
    m_sbtLayer->setText(AnsiToQString(LangText(LangKeys::String::TLP2GeoLayer) + " " +
                                      std::to_string(m_Document.CurrentLayer())));
}
