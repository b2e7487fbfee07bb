#include "cad/ui/LabelEditor.h"

#include "cad/program/EventGuard.h"
#include "cad/program/QV_00CADProg.h"
#include "cad/states/DrawStateParams.h"
#include "cad/states/PositionStates.h"
#include "cad/ui/AnsiText.h"
#include "cad/ui/CharKeyFilter.h"
#include "core/entities/Container2D.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <cmath>
#include <optional>

namespace {

constexpr const char* kTagProperty = "Tag";
constexpr const char* kRefusedProperty = "refused";

QString Caption(std::string_view key)
{
    return AnsiToQString(LangToolWinCaption(key));
}

QLabel* AddCaption(QWidget* box, std::string_view key, const QString& text)
{
    auto* caption = new QLabel(text, box);
    caption->setObjectName(QString::fromLatin1(key.data(), static_cast<int>(key.size())));
    return caption;
}

void SetRefused(QLineEdit& field, bool refused)
{
    if (field.property(kRefusedProperty).toBool() == refused)
        return;
    field.setProperty(kRefusedProperty, refused);
    QPalette palette;
    if (refused)
        palette.setColor(QPalette::Text, Qt::red);
    field.setPalette(palette);
}

} // namespace

TLabelEditor::TLabelEditor(TEtichetta& label, TQV_00CADProg* program, TQV_01Cmp2D* document, QWidget* parent)
    : QWidget(parent), m_Label(label), m_Program(program), m_Document(document)
{
    setObjectName(QStringLiteral("LabelEditor"));
    auto* layout = new QVBoxLayout(this);

    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scbEti"));
    scroll->setWidgetResizable(true);
    auto* rows = new QWidget(scroll);
    m_RowsLayout = new QVBoxLayout(rows);
    m_RowsLayout->addStretch(1);
    scroll->setWidget(rows);
    layout->addWidget(scroll, 1);

    auto* commands = new QHBoxLayout;
    m_Add = new QPushButton(QStringLiteral("+"), this);
    m_Add->setObjectName(QStringLiteral("sbtEtiAdd"));
    m_Add->setFixedWidth(30);
    m_Remove = new QPushButton(QStringLiteral("-"), this);
    m_Remove->setObjectName(QStringLiteral("sbtEtiRemove"));
    m_Remove->setFixedWidth(30);
    m_Font = new QComboBox(this);
    m_Font->setObjectName(QStringLiteral("cmbEtiFont"));
    m_Apply = new QPushButton(this);
    m_Apply->setObjectName(QStringLiteral("sbtEtiApply"));
    commands->addWidget(m_Add);
    commands->addWidget(m_Remove);
    commands->addWidget(m_Font, 1);
    commands->addWidget(m_Apply);
    layout->addLayout(commands);

    connect(m_Add, &QPushButton::clicked, this, [this] { GuardedCall([this] { AppendLabel(); }); });
    connect(m_Remove, &QPushButton::clicked, this, [this] { GuardedCall([this] { RemoveLabel(); }); });
    connect(m_Apply, &QPushButton::clicked, this, [this] { Apply(); });
    connect(m_Font, &QComboBox::currentIndexChanged, this,
            [this](int index) { GuardedCall([this, index] { m_Label.SetFont(index); }); });
}

void TLabelEditor::SetFontNames(const std::vector<std::string>& names)
{
    const QSignalBlocker blocker(m_Font);
    m_Font->clear();
    for (const std::string& name : names)
        m_Font->addItem(AnsiToQString(name));
    m_Font->setCurrentIndex(m_Label.FontIndex() < m_Font->count() ? m_Label.FontIndex() : -1);
}

void TLabelEditor::BuildLabelEditors()
{
    FreeLabelEditors();
    m_Apply->setText(Caption(LangKeys::frmToolWin::sbtEtiApply));
    for (int row = 0; row < m_Label.LabelCount(); ++row)
        BuildRow(row);
}

void TLabelEditor::FreeLabelEditors()
{
    for (TRow& row : m_Rows)
        delete row.Box.data();
    m_Rows.clear();
}

void TLabelEditor::BuildRow(int row)
{
    const TDatiEtichetta& label = m_Label.Labels()[static_cast<size_t>(row)];
    auto* box = new QWidget(m_RowsLayout->parentWidget());
    box->setProperty(kTagProperty, row);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 6);

    TRow fields;
    fields.Box = box;
    grid->addWidget(AddCaption(box, LangKeys::frmToolWin::lblEti1,
                               QStringLiteral("(%1) ").arg(row + 1) + Caption(LangKeys::frmToolWin::lblEti1)),
                    0, 0, 1, 5);

    auto* text = new QLineEdit(AnsiToQString(label.Text), box);
    text->setObjectName(QStringLiteral("edtEtiText"));
    text->setProperty(kTagProperty, row);
    grid->addWidget(text, 1, 0, 1, 5);
    connect(text, &QLineEdit::textChanged, this, [this, row](const QString& value) {
        if (row < m_Label.LabelCount())
            m_Label.Labels()[static_cast<size_t>(row)].Text = QStringToAnsi(value);
    });
    fields.Text = text;

    auto numberField = [&](const char* name, float value, TCharKeyFilter::TFilter filter) {
        auto* field = new QLineEdit(AnsiToQString(FormatCoord(value)), box);
        field->setObjectName(QString::fromLatin1(name));
        field->setProperty(kTagProperty, row);
        field->setMaximumWidth(70);
        TCharKeyFilter::Install(*field, filter);
        return field;
    };
    fields.X = numberField("edtEtiX", label.X, &SignedDecimalKeyFilter);
    fields.Y = numberField("edtEtiY", label.Y, &SignedDecimalKeyFilter);
    fields.Height = numberField("edtEtiHeight", label.Height, &DecimalKeyFilter);
    fields.Spacing = numberField("edtEtiSpacing", label.Spacing, &DecimalKeyFilter);

    // X and Y follow every complete number typed; height and spacing are
    // taken when the field is left.
    const auto storeWhileTyping = [this, row](QLineEdit* field, float TDatiEtichetta::*member) {
        connect(field, &QLineEdit::textChanged, this, [this, row, field, member](const QString& value) {
            if (IsCompleteNumber(QStringToAnsi(value)))
                StoreNumber(row, *field, member);
        });
    };
    storeWhileTyping(fields.X, &TDatiEtichetta::X);
    storeWhileTyping(fields.Y, &TDatiEtichetta::Y);
    const auto storeOnLeave = [this, row](QLineEdit* field, float TDatiEtichetta::*member) {
        connect(field, &QLineEdit::editingFinished, this,
                [this, row, field, member] { StoreNumber(row, *field, member); });
    };
    storeOnLeave(fields.Height, &TDatiEtichetta::Height);
    storeOnLeave(fields.Spacing, &TDatiEtichetta::Spacing);

    grid->addWidget(AddCaption(box, LangKeys::frmToolWin::lblEti2, Caption(LangKeys::frmToolWin::lblEti2)), 2, 0);
    grid->addWidget(fields.X, 2, 1);
    grid->addWidget(AddCaption(box, LangKeys::frmToolWin::lblEti3, Caption(LangKeys::frmToolWin::lblEti3)), 2, 2);
    grid->addWidget(fields.Y, 2, 3);
    auto* position = new QPushButton(Caption(LangKeys::frmToolWin::sbtEtiPosXY), box);
    position->setObjectName(QStringLiteral("sbtEtiPosXY"));
    position->setProperty(kTagProperty, row);
    connect(position, &QPushButton::clicked, this, [this, row] { PickPosition(row); });
    grid->addWidget(position, 2, 4);
    grid->addWidget(AddCaption(box, LangKeys::frmToolWin::lblEti4, Caption(LangKeys::frmToolWin::lblEti4)), 3, 0);
    grid->addWidget(fields.Height, 3, 1);
    grid->addWidget(AddCaption(box, LangKeys::frmToolWin::lblEti5, Caption(LangKeys::frmToolWin::lblEti5)), 3, 2);
    grid->addWidget(fields.Spacing, 3, 3);

    // Before the stretch that keeps the rows at the top.
    m_RowsLayout->insertWidget(m_RowsLayout->count() - 1, box);
    m_Rows.push_back(fields);
}

void TLabelEditor::StoreNumber(int row, QLineEdit& field, float TDatiEtichetta::*member)
{
    if (row >= m_Label.LabelCount())
        return;
    const std::optional<double> value = ParseDecimal(QStringToAnsi(field.text()));
    const float single = value ? static_cast<float>(*value) : 0.0f;
    if (!value || !std::isfinite(single)) {
        SetRefused(field, true);
        return;
    }
    m_Label.Labels()[static_cast<size_t>(row)].*member = single;
    SetRefused(field, false);
}

bool TLabelEditor::IsRefused(const QLineEdit& field)
{
    return field.property(kRefusedProperty).toBool();
}

QLineEdit* TLabelEditor::Field(int row, const char* name) const
{
    if (row < 0 || row >= RowCount() || !m_Rows[static_cast<size_t>(row)].Box)
        return nullptr;
    return m_Rows[static_cast<size_t>(row)].Box->findChild<QLineEdit*>(QString::fromLatin1(name));
}

void TLabelEditor::AppendLabel()
{
    FreeLabelEditors();
    m_Label.AppendLabel();
    BuildLabelEditors();
}

void TLabelEditor::RemoveLabel()
{
    FreeLabelEditors();
    m_Label.RemoveLabel();
    BuildLabelEditors();
}

void TLabelEditor::Apply()
{
    GuardedCall([this] { m_Label.Apply(m_Document); });
}

void TLabelEditor::PickPosition(int row)
{
    GuardedCall([this, row] {
        if (!m_Program || row < 0 || row >= RowCount())
            return;
        m_Program->SendUserEvent(TCADUserEvent::Cancel);
        std::unique_ptr<TContainer2D> preview = m_Label.PositionPreview(row);
        if (!preview)
            return;
        // The state may outlive these rows (a "+" meanwhile): it writes only
        // to fields that still exist.
        const TRow& fields = m_Rows[static_cast<size_t>(row)];
        const QPointer<TLabelEditor> editor(this);
        const QPointer<QLineEdit> x = fields.X;
        const QPointer<QLineEdit> y = fields.Y;
        TPositionFields position;
        position.SetXText = [x](const std::string& text) {
            if (x)
                x->setText(AnsiToQString(text));
        };
        position.SetYText = [y](const std::string& text) {
            if (y)
                y->setText(AnsiToQString(text));
        };
        position.XChanged = [editor, x, row] {
            if (editor && x)
                editor->StoreNumber(row, *x, &TDatiEtichetta::X);
        };
        position.YChanged = [editor, y, row] {
            if (editor && y)
                editor->StoreNumber(row, *y, &TDatiEtichetta::Y);
        };
        position.ApplyClick = [editor] {
            if (editor)
                editor->Apply();
        };
        m_Program->StartOperation(
            StateClassOf<TQV_40PosizionaContainer>(),
            std::make_unique<TQV_40PositionContainerParam>(nullptr, std::move(preview), std::move(position)));
    });
}
