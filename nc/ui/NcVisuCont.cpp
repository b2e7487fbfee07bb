#include "nc/ui/NcVisuCont.h"

#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "nc/sim/Simulatore2D.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr std::string_view kGroupKeys[2] = {LangKeys::frmToolWin::SolSimOrigin, LangKeys::frmToolWin::SolSimSize};
constexpr std::string_view kRowKeys[6] = {LangKeys::frmToolWin::SolSimOriginX, LangKeys::frmToolWin::SolSimOriginY,
                                          LangKeys::frmToolWin::SolSimTopZ,    LangKeys::frmToolWin::SolSimSizeX,
                                          LangKeys::frmToolWin::SolSimSizeY,   LangKeys::frmToolWin::SolSimSizeZ};

QString Text(std::string_view key) { return QString::fromStdString(LangToolWinText(key)); }

} // namespace

TNcVisuCont::TNcVisuCont(QWidget* parent, TSimulatore2D& simulator) : m_Simulator(simulator)
{
    BuildControls(parent);
}

TNcVisuCont::~TNcVisuCont()
{
    for (QPointer<QGroupBox>& group : m_Groups)
        delete group.data();
}

void TNcVisuCont::BuildControls(QWidget* parent)
{
    for (int n = 0; n < 2; ++n) {
        auto* group = new QGroupBox(Text(kGroupKeys[n]), parent);
        group->setObjectName(QStringLiteral("grpSolSim%1").arg(n));
        group->setGeometry(n * 88 + 8, 56, 81, 92);
        m_Groups[static_cast<size_t>(n)] = group;
        for (int i = 0; i < 3; ++i) {
            const int k = n * 3 + i;
            auto* label = new QLabel(Text(kRowKeys[k]), group);
            label->setGeometry(4, i * 24 + 20, 20, 13);
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            auto* edit = new QLineEdit(group);
            edit->setObjectName(QStringLiteral("txtSolSim%1").arg(k));
            edit->setGeometry(24, i * 24 + 16, 50, 21);
            // Enter applies; every other key just edits.
            QObject::connect(edit, &QLineEdit::returnPressed, group, [this] { ApplyStock(); });
            m_Edits[static_cast<size_t>(k)] = edit;
        }
        group->show();
    }
}

void TNcVisuCont::ShowStock()
{
    const TNcVisu* model = m_Simulator.Solid();
    if (!model)
        return;
    const std::array<std::string, 6> texts = model->StockTexts();
    for (size_t k = 0; k < texts.size(); ++k)
        if (m_Edits[k])
            m_Edits[k]->setText(QString::fromStdString(texts[k]));
}

bool TNcVisuCont::ApplyStock()
{
    std::array<std::string, 6> texts;
    for (size_t k = 0; k < texts.size(); ++k) {
        if (!m_Edits[k])
            return false;
        texts[k] = m_Edits[k]->text().trimmed().toStdString();
    }
    return m_Simulator.ApplyStock(texts);
}
