#pragma once
// How the operation pages of the tool window are laid out and react to a
// field being entered: a page's group with one row of label and field
// after the other (TPageGrid), the checkable tool buttons, a field's
// picture on entering it, and the cut-rule and pocket-type rules the
// milling and laser pages share. Main thread only.

#include "app/toolwin/PageWidgets.h"
#include "cad/program/EventGuard.h"
#include "cad/ui/CharKeyFilter.h"
#include "core/settings/NumberText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStringList>
#include <QToolButton>
#include <QVBoxLayout>

#include <functional>

class TWidgetToolPage;

namespace toolwin {

// A page being laid out: one row of label and field after the other.
class TPageGrid {
public:
    TPageGrid(QWidget* sheet, const char* group) : m_Group(Make<QGroupBox>(sheet, group))
    {
        auto* outer = new QVBoxLayout(sheet);
        outer->setContentsMargins(4, 4, 4, 4);
        outer->addWidget(m_Group);
        outer->addStretch();
        m_Grid = new QGridLayout(m_Group);
        m_Grid->setContentsMargins(6, 6, 6, 6);
        m_Grid->setVerticalSpacing(3);
    }
    QWidget* Group() const { return m_Group; }

    QLineEdit* Edit(const char* label, const char* name, const char* text, TCharKeyFilter::TFilter filter)
    {
        auto* edit = Make<QLineEdit>(m_Group, name, QString::fromLatin1(text));
        TCharKeyFilter::Install(*edit, filter);
        edit->setMaximumWidth(70);
        Row(label, edit);
        return edit;
    }
    QSpinBox* Spin(const char* label, const char* name, int low, int high, int value)
    {
        auto* spin = Make<QSpinBox>(m_Group, name);
        spin->setRange(low, high);
        spin->setValue(value);
        spin->setMaximumWidth(70);
        Row(label, spin);
        return spin;
    }
    QComboBox* Combo(const char* label, const char* name, const QStringList& items)
    {
        auto* combo = Make<QComboBox>(m_Group, name);
        combo->addItems(items);
        Row(label, combo);
        return combo;
    }
    QLabel* Row(const char* label, QWidget* field)
    {
        QLabel* caption = nullptr;
        if (label) {
            caption = Make<QLabel>(m_Group, label, QString::fromLatin1(label + 3));
            m_Grid->addWidget(caption, m_Row, 0);
        }
        m_Grid->addWidget(field, m_Row++, 1);
        return caption;
    }
    // A check box that enables the retract edit and its label below it.
    void Retract(const char* check, const char* label, const char* edit)
    {
        auto* box = Make<QCheckBox>(m_Group, check, QStringLiteral("Retract"));
        m_Grid->addWidget(box, m_Row++, 0, 1, 2);
        auto* field = Edit(label, edit, "10", SignedDecimalKeyFilter);
        field->setEnabled(false);
        m_Group->findChild<QLabel*>(QString::fromLatin1(label))->setEnabled(false);
    }
    QWidget* Field(const char* name) const
    {
        return m_Group->findChild<QWidget*>(QString::fromLatin1(name));
    }
    void Span(QWidget* widget)
    {
        m_Grid->addWidget(widget, m_Row++, 0, 1, 2);
    }
    // Two controls side by side, one in each column.
    void Pair(QWidget* left, QWidget* right)
    {
        m_Grid->addWidget(left, m_Row, 0);
        m_Grid->addWidget(right, m_Row++, 1);
    }

private:
    QGroupBox* m_Group;
    QGridLayout* m_Grid = nullptr;
    int m_Row = 0;
};

inline QToolButton* ToggleButton(QWidget* parent, const char* name, const char* text)
{
    auto* button = Make<QToolButton>(parent, name);
    button->setText(QString::fromLatin1(text));
    button->setCheckable(true);
    return button;
}

// The cut rules a method offers in combo: rule 0 alone, or all three
// (method 1); rule 0 is chosen.
void OfferCutRules(TWidgetToolPage& page, const char* combo, bool allRules);

// The controls of a pocket page's type rule.
struct TPocketTypeControls {
    const char* Type;
    const char* AngleLabel;
    const char* Angle;
    const char* Spiral;
    const char* FinishCount;
};
// Zig-zag (type 0) shows the angle, hides the spiral box and raises no
// finish cut to one; offset rings (type 1) the other way round.
void ApplyPocketType(TWidgetToolPage& page, const TPocketTypeControls& controls);

// Entering field shows picture index in the page's label named image.
void BindEnterPicture(QWidget& field, TWidgetToolPage& page, const char* image, int index);

} // namespace toolwin
