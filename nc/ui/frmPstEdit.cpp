#include "nc/ui/frmPstEdit.h"

#include "core/model/UserNotifier.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "nc/writer/PostTest.h"
#include "nc/writer/ScriveGCode.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <filesystem>

namespace {

QString PstText(std::string_view key)
{
    return QString::fromStdString(ReadLangText("PstEdit", key));
}

QGroupBox* Group(QWidget* parent, const char* name, const QRect& place)
{
    auto* group = new QGroupBox(PstText(name), parent);
    group->setObjectName(name);
    group->setGeometry(place);
    return group;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, int left, int top)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(left, top, 120, 25);
    return button;
}

} // namespace

TfrmPstEdit::TfrmPstEdit(std::string configFolder, std::string postName, QWidget* parent)
    : QDialog(parent), m_ConfigFolder(std::move(configFolder)), m_PostName(std::move(postName))
{
    setObjectName("frmPstEdit");
    setFixedSize(800, 600);
    m_Tabs = new QTabBar(this);
    m_Tabs->setObjectName("PstTab");
    m_Tabs->setGeometry(0, 0, 800, 28);
    m_Tabs->setExpanding(false);
    m_Tabs->setUsesScrollButtons(true);
    connect(m_Tabs, &QTabBar::tabBarClicked, this, [this](int index) { PstTabItemClick(index); });

    QGroupBox* section = Group(this, "grpSection", QRect(8, 32, 420, 250));
    m_Grid = new QTableWidget(0, 1, section);
    m_Grid->setObjectName("NiceGridPst");
    m_Grid->verticalHeader()->setFixedWidth(110);
    m_Grid->horizontalHeader()->setStretchLastSection(true);
    m_Grid->horizontalHeader()->setMinimumHeight(2 * fontMetrics().height() + 6);
    auto* insert = new QAction(PstText(LangKeys::PstEdit::mnuEdPstIns), m_Grid);
    insert->setObjectName("mnuEdPstIns");
    connect(insert, &QAction::triggered, this, [this] { mnuEdPstInsClick(); });
    auto* remove = new QAction(PstText(LangKeys::PstEdit::mnuEdPstDel), m_Grid);
    remove->setObjectName("mnuEdPstDel");
    connect(remove, &QAction::triggered, this, [this] { mnuEdPstDelClick(); });
    m_Grid->addAction(insert);
    m_Grid->addAction(remove);
    connect(m_Grid, &QTableWidget::cellChanged, this, [this] { CellChanged(); });
    (new QVBoxLayout(section))->addWidget(m_Grid);

    QGroupBox* memo = Group(this, "grpMemo", QRect(8, 32 + 250 + 8, 420, 258));
    m_Memo = new QPlainTextEdit(memo);
    m_Memo->setObjectName("MemoPst");
    m_Memo->setReadOnly(true);
    m_Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    (new QVBoxLayout(memo))->addWidget(m_Memo);

    const int right = 8 + 420 + 8;
    QGroupBox* variables = Group(this, "grpVar", QRect(right, 32, 800 - 8 - right, 250));
    m_Variables = new QListWidget(variables);
    m_Variables->setObjectName("lstVar");
    for (const char* line : TScriveGCode::VariableHelp)
        m_Variables->addItem(QString::fromLatin1(line));
    (new QVBoxLayout(variables))->addWidget(m_Variables);

    grpBtn = Group(this, "grpBtn", QRect(right, 32 + 250 + 8 + 50, 800 - 8 - right, 258 - 50));
    sbtPstTest = Button(grpBtn, "sbtPstTest", PstText(LangKeys::PstEdit::sbtPstTestM), 20, 32);
    connect(sbtPstTest, &QPushButton::clicked, this, [this] { SbtPstTestClick(); });
    sbtPstSave = Button(grpBtn, "sbtPstSave", PstText(LangKeys::PstEdit::sbtPstSave), 20, 170);
    sbtPstSave->setEnabled(false);
    connect(sbtPstSave, &QPushButton::clicked, this, [this] { sbtPstSaveClick(); });
    sbtPstSaveAs = Button(grpBtn, "sbtPstSaveAs", PstText(LangKeys::PstEdit::sbtPstSaveAs), 195, 170);
    sbtPstSaveAs->setEnabled(false);
    connect(sbtPstSaveAs, &QPushButton::clicked, this, [this] { sbtPstSaveAsClick(); });
    QPushButton* ok = Button(this, "sbtPstOk", PstText(LangKeys::PstEdit::sbtPstOk), 655, 520);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    m_TestProgram = [this](bool cycle) {
        return WritePostTestProgram(cycle, m_ConfigFolder, QDir::tempPath().toStdString());
    };
    FormShow();
}

TfrmPstEdit::~TfrmPstEdit() = default;

void TfrmPstEdit::FormShow()
{
    setWindowTitle(PstText(LangKeys::PstEdit::Caption));
    grpBtn->setTitle(PstText(LangKeys::PstEdit::grpBtn) + ' ' + QString::fromStdString(m_PostName));
    while (m_Tabs->count() > 0)
        m_Tabs->removeTab(0);
    const std::filesystem::path folder = std::filesystem::path(m_ConfigFolder) / "pst";
    m_Model = std::make_unique<TPstEditModel>((folder / (m_PostName + ".pst")).string(),
                                              (folder / "PstComment.txt").string());
    for (const std::string& section : m_Model->Tabs()) {
        const int index = m_Tabs->addTab(QString::fromStdString(section));
        m_Tabs->setTabToolTip(index, QString::fromStdString(section));
    }
    if (m_Tabs->count() > 0)
        PstTabItemClick(0);
}

void TfrmPstEdit::PstTabItemClick(int index)
{
    if (index < 0 || index >= m_Tabs->count())
        return;
    if (m_Changed)
        SalvaSezione();
    m_Tabs->setCurrentIndex(index);
    const std::string section = m_Tabs->tabText(index).toStdString();
    const TPstSectionView view = m_Model->ReadSection(section);
    m_Section = section;
    m_Numbered = view.Numbered;
    m_Cycle = view.CycleTest;
    sbtPstTest->setText(PstText(m_Cycle ? LangKeys::PstEdit::sbtPstTestC : LangKeys::PstEdit::sbtPstTestM));

    m_Filling = true;
    m_Grid->setHorizontalHeaderItem(0, new QTableWidgetItem(QString::fromStdString(section)));
    m_Grid->setRowCount(static_cast<int>(view.Rows.size()));
    for (int row = 0; row < m_Grid->rowCount(); ++row) {
        const TPstRow& r = view.Rows[static_cast<size_t>(row)];
        m_Grid->setVerticalHeaderItem(row, new QTableWidgetItem(QString::fromStdString(r.Key)));
        auto* item = new QTableWidgetItem(QString::fromStdString(r.Value));
        item->setBackground(Qt::yellow);
        m_Grid->setItem(row, 0, item);
    }
    m_Grid->setContextMenuPolicy(m_Numbered ? Qt::ActionsContextMenu : Qt::NoContextMenu);
    m_Filling = false;
    m_Memo->setPlainText(QString::fromStdString(view.Memo));
}

void TfrmPstEdit::SalvaSezione()
{
    std::vector<TPstRow> rows;
    for (int row = 0; row < m_Grid->rowCount(); ++row) {
        const QTableWidgetItem* header = m_Grid->verticalHeaderItem(row);
        const QTableWidgetItem* cell = m_Grid->item(row, 0);
        rows.push_back({header ? header->text().toStdString() : std::string(),
                        cell ? cell->text().toStdString() : std::string()});
    }
    m_Model->SaveSection(m_Section, m_Numbered, rows);
    m_Changed = false;
}

void TfrmPstEdit::SetChanged()
{
    m_Changed = true;
    sbtPstSave->setEnabled(true);
    sbtPstSaveAs->setEnabled(true);
    sbtPstTest->setEnabled(false);
}

void TfrmPstEdit::CellChanged()
{
    if (!m_Filling)
        SetChanged();
}

void TfrmPstEdit::mnuEdPstInsClick()
{
    if (!m_Numbered)
        return;
    const int at = std::max(0, m_Grid->currentRow());
    m_Filling = true;
    m_Grid->insertRow(at);
    auto* item = new QTableWidgetItem;
    item->setBackground(Qt::yellow);
    m_Grid->setItem(at, 0, item);
    for (int row = 0; row < m_Grid->rowCount(); ++row)
        m_Grid->setVerticalHeaderItem(row, new QTableWidgetItem(QString::number(row + 1)));
    m_Filling = false;
    SetChanged();
}

void TfrmPstEdit::mnuEdPstDelClick()
{
    const int at = m_Grid->currentRow();
    if (!m_Numbered || at < 0)
        return;
    m_Grid->removeRow(at);
    for (int row = 0; row < m_Grid->rowCount(); ++row)
        m_Grid->setVerticalHeaderItem(row, new QTableWidgetItem(QString::number(row + 1)));
    SetChanged();
}

void TfrmPstEdit::sbtPstSaveClick()
{
    if (m_Changed)
        SalvaSezione();
    std::string error;
    if (!m_Model->Save(error)) {
        UserNotifier().ShowMessage(EMessageKind::Error, error, "");
        return;
    }
    sbtPstSave->setEnabled(false);
    sbtPstTest->setEnabled(true);
    GCodeWriter().LoadPst(m_ConfigFolder);
}

void TfrmPstEdit::sbtPstSaveAsClick()
{
    if (m_Changed)
        SalvaSezione();
    TFileRequest request;
    request.Filters = {{"Pst files", {"pst"}}};
    request.Folder = (std::filesystem::path(m_ConfigFolder) / "pst").string() + "/";
    request.FileName = m_PostName;
    request.DefaultSuffix = "pst";
    const std::string chosen = UserNotifier().AskSaveFileName(request);
    if (chosen.empty())
        return;
    std::string error;
    if (!m_Model->SaveAs(chosen, error)) {
        UserNotifier().ShowMessage(EMessageKind::Error, error, "");
        return;
    }
    m_PostName = std::filesystem::path(chosen).stem().string();
    AppConfig().Pst = m_PostName;
    sbtPstTest->setEnabled(true);
}

void TfrmPstEdit::SbtPstTestClick()
{
    if (!m_TestProgram)
        return;
    const std::string written = m_TestProgram(m_Cycle);
    QFile file(QString::fromStdString(written));
    if (!written.empty() && file.open(QIODevice::ReadOnly))
        m_Memo->setPlainText(QString::fromUtf8(file.readAll()));
}
