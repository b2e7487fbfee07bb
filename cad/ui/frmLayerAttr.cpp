#include "cad/ui/frmLayerAttr.h"

#include "cad/program/EventGuard.h"
#include "cad/ui/ColorBox.h"
#include "cad/ui/FormTranslate.h"
#include "cad/ui/penwidthcombo.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/model/QV_01Cmp2D.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

QString Name(std::string_view name)
{
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace

TfrmLayerAttr::TfrmLayerAttr(QWidget* parent)
    : QDialog(parent), m_grpLayerAttr(new QGroupBox(this)), m_ColorBox1(new TColorBox(m_grpLayerAttr)),
      m_penwidthcombo1(new Tpenwidthcombo(m_grpLayerAttr)), m_btnOk(new QPushButton(QStringLiteral("OK"), this)),
      m_btnCancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    namespace LK = LangKeys::frmLayerAttr;
    setObjectName(QStringLiteral("frmLayerAttr"));
    setModal(true);
    m_grpLayerAttr->setObjectName(QStringLiteral("grpLayerAttr"));
    m_ColorBox1->setObjectName(QStringLiteral("ColorBox1"));
    m_penwidthcombo1->setObjectName(QStringLiteral("penwidthcombo1"));
    m_btnOk->setObjectName(Name(LK::btnOk));
    m_btnCancel->setObjectName(Name(LK::btnCancel));
    m_btnOk->setDefault(true);

    auto* group = new QVBoxLayout(m_grpLayerAttr);
    group->addWidget(m_ColorBox1);
    group->addWidget(m_penwidthcombo1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_btnOk);
    buttons->addWidget(m_btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grpLayerAttr);
    layout->addLayout(buttons);
    setMinimumWidth(240);

    m_ColorBox1->OnChange = [this] { ColorBox1Change(); };
    connect(m_penwidthcombo1, &QComboBox::activated, this, [this](int index) { penwidthcombo1Change(index); });
    connect(m_btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
    connect(m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

int TfrmLayerAttr::ShowForLayer(TQV_01Cmp& document, int layer, const QString& caption, const QString& groupCaption)
{
    if (layer < 0 || layer >= TQV_20Layers::LayerCount)
        return Rejected;
    m_Document = &document;
    m_Layer = layer;
    m_Caption = caption;
    m_GroupCaption = groupCaption;
    FormShow();
    const int result = exec();
    m_Document = nullptr;
    return result;
}

void TfrmLayerAttr::FormShow()
{
    TranslateForms({this}, LanguageIni());
    setWindowTitle(m_Caption);
    m_grpLayerAttr->setTitle(m_GroupCaption);
    m_LayerAttrPending = true;
    const TQV_21Layer& layer = m_Document->Layers().GetLayer(m_Layer);
    m_LayerAttrColor = layer.Pen().Color;
    m_ColorBox1->SetSelected(m_LayerAttrColor);
    m_LayerAttrWidth = layer.Pen().Width;
    const QSignalBlocker blocker(m_penwidthcombo1);
    m_penwidthcombo1->SetWidth(m_LayerAttrWidth);
}

void TfrmLayerAttr::ColorBox1Change()
{
    m_LayerAttrColor = m_ColorBox1->Selected();
}

void TfrmLayerAttr::penwidthcombo1Change(int index)
{
    if (index >= 0)
        m_LayerAttrWidth = index + 1;
}

void TfrmLayerAttr::btnOkClick()
{
    m_LayerAttrPending = false;
    accept();
}

void TfrmLayerAttr::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TfrmLayerAttr::FormClose()
{
    if (!m_Document || m_LayerAttrPending)
        return;
    GuardedCall([this] {
        TQV_21Layer& layer = m_Document->Layers().GetLayer(m_Layer);
        layer.SetPenColor(m_LayerAttrColor);
        layer.SetPenWidth(m_LayerAttrWidth);
        m_Document->RepaintViewports();
    });
    // Applied once: a second close of the same showing changes nothing.
    m_LayerAttrPending = true;
}
