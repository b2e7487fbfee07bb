#include "cad/ui/AnsiText.h"
#include "cad/ui/FormTranslate.h"
#include "core/settings/Language.h"
#include "platform/IniFile.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <ostream>

// Readable failure messages for QString comparisons.
void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

template <class T>
T* Add(QWidget* parent, const char* name, const char* text = "design")
{
    auto* w = new T(parent);
    w->setObjectName(name);
    if constexpr (requires { w->setText(QString()); })
        w->setText(text);
    else if constexpr (requires { w->setTitle(QString()); })
        w->setTitle(text);
    return w;
}

// A small window shaped as the program's forms are: components inside a tab
// page and a group box, a combo box, two kinds of radio group, an edit, an
// action, and a dialog of its own below it.
struct TTestForm {
    QWidget Form;
    QLabel* Label;
    QTabWidget* Tabs;
    QWidget* Page;
    QGroupBox* Box;
    QPushButton* Button;
    QComboBox* Combo;
    QGroupBox* AxisGroup;
    QList<QRadioButton*> Axes;
    QButtonGroup* ModeGroup;
    QList<QRadioButton*> Modes;
    QLineEdit* Edit;
    QAction* Action;
    QDialog* Dialog;
    QLabel* DialogLabel;

    TTestForm()
    {
        Form.setObjectName("frmTest");
        Form.setWindowTitle("design");
        Label = Add<QLabel>(&Form, "lblName");
        Tabs = Add<QTabWidget>(&Form, "tabs");
        Page = new QWidget;
        Page->setObjectName("tabPage");
        Tabs->addTab(Page, "design");
        Box = Add<QGroupBox>(Page, "grpBox");
        Button = Add<QPushButton>(Box, "btnGo");
        Combo = Add<QComboBox>(Box, "cboUnit");
        Combo->addItems({"item0", "item1", "item2"});

        AxisGroup = Add<QGroupBox>(&Form, "gprAxis");
        auto* axisLayout = new QVBoxLayout(AxisGroup);
        for (const char* name : {"rbX", "rbY", "rbZ"}) {
            Axes.append(Add<QRadioButton>(AxisGroup, name, name));
            axisLayout->addWidget(Axes.back());
        }

        // Items by id, added out of order.
        ModeGroup = new QButtonGroup(&Form);
        ModeGroup->setObjectName("bgrMode");
        for (const char* name : {"rbMode0", "rbMode1", "rbMode2"})
            Modes.append(Add<QRadioButton>(&Form, name, name));
        ModeGroup->addButton(Modes[2], 2);
        ModeGroup->addButton(Modes[0], 0);
        ModeGroup->addButton(Modes[1], 1);

        Edit = Add<QLineEdit>(&Form, "txtValue");
        Action = new QAction("design", &Form);
        Action->setObjectName("actOpen");

        Dialog = new QDialog(&Form);
        Dialog->setObjectName("dlgChild");
        DialogLabel = Add<QLabel>(Dialog, "lblName");
    }
};

TIniFile LanguageOf(const std::string& text)
{
    TIniFile ini;
    ini.LoadFromString(text);
    return ini;
}

} // namespace

TEST(FormTranslate, CaptionsHintsAndItemsComeFromTheFormsSection)
{
    TTestForm t;
    QWidget other;
    other.setObjectName("frmOther");
    QLabel* otherLabel = Add<QLabel>(&other, "lblName");

    const TIniFile ini = LanguageOf("[frmTest]\r\n"
                                    "frmTest.Caption=Test form\r\n"
                                    "lblName.Caption=Two*|*lines\r\n"
                                    "lblName.Hint=Name hint\r\n"
                                    "tabPage.Caption=Page one\r\n"
                                    "grpBox.Caption=Box\r\n"
                                    "btnGo.Caption=Caf\xE9 \x80\r\n"
                                    "cboUnit.items[0]=mm\r\n"
                                    "cboUnit.items[1]=\r\n"
                                    "cboUnit.items[2]=inch\r\n"
                                    "gprAxis.Caption=Axis\r\n"
                                    "gprAxis.items[0]=X axis\r\n"
                                    "gprAxis.items[2]=Z axis\r\n"
                                    "bgrMode.items[0]=Mode zero\r\n"
                                    "bgrMode.items[2]=Mode two\r\n"
                                    "txtValue.Caption=no such text\r\n"
                                    "txtValue.Hint=Type a value\r\n"
                                    "actOpen.Caption=Open\r\n"
                                    "actOpen.Hint=Open a file\r\n"
                                    "[frmOther]\r\n"
                                    "lblName.Caption=Other label\r\n");
    TranslateForms({&t.Form, nullptr, &other}, &ini);

    EXPECT_EQ(t.Form.windowTitle(), "Test form");
    EXPECT_EQ(t.Label->text(), "Two\nlines");
    EXPECT_EQ(t.Label->toolTip(), "Name hint");
    EXPECT_EQ(t.Tabs->tabText(0), "Page one");
    EXPECT_EQ(t.Box->title(), "Box");
    EXPECT_EQ(t.Button->text(), QString::fromUtf8("Caf\u00E9 \u20AC")); // Windows-1252
    EXPECT_EQ(t.Combo->itemText(0), "mm");
    EXPECT_EQ(t.Combo->itemText(1), "item1"); // empty value: design text stays
    EXPECT_EQ(t.Combo->itemText(2), "inch");
    EXPECT_EQ(t.AxisGroup->title(), "Axis");
    EXPECT_EQ(t.Axes[0]->text(), "X axis");
    EXPECT_EQ(t.Axes[1]->text(), "rbY"); // no key: design text stays
    EXPECT_EQ(t.Axes[2]->text(), "Z axis");
    EXPECT_EQ(t.Modes[0]->text(), "Mode zero");
    EXPECT_EQ(t.Modes[1]->text(), "rbMode1");
    EXPECT_EQ(t.Modes[2]->text(), "Mode two");
    EXPECT_EQ(t.Edit->text(), "design"); // an edit has no caption
    EXPECT_EQ(t.Edit->toolTip(), "Type a value");
    EXPECT_EQ(t.Action->text(), "Open");
    EXPECT_EQ(t.Action->statusTip(), "Open a file");
    // The dialog is a form of its own: not translated from its parent's section.
    EXPECT_EQ(t.DialogLabel->text(), "design");
    EXPECT_EQ(otherLabel->text(), "Other label");

    // A later translation from a file without those keys keeps what is there.
    const TIniFile sparse = LanguageOf("[frmTest]\nbtnGo.Caption=Go\n");
    TranslateForms({&t.Form}, &sparse);
    EXPECT_EQ(t.Button->text(), "Go");
    EXPECT_EQ(t.Label->text(), "Two\nlines");
    EXPECT_EQ(t.Form.windowTitle(), "Test form");
}

TEST(FormTranslate, MissingLanguageFileIsReportedOnceNotOnEveryShow)
{
    kbtest::TTempDir dir;
    kbtest::TRecordingNotifier notifier;
    ASSERT_FALSE(OpenLanguageFile(dir.Path().string(), "english"));
    TTestForm t;
    QWidget other;
    other.setObjectName("frmOther");

    for (int show = 0; show < 3; ++show)
        TranslateForms({&t.Form, &other}, nullptr);

    ASSERT_EQ(notifier.Messages().size(), 1u);
    EXPECT_EQ(notifier.Messages()[0].Kind, EMessageKind::Error);
    EXPECT_EQ(notifier.Messages()[0].Text, "Language file not found!\r\n" + LanguageFilePath());
    EXPECT_EQ(t.Form.windowTitle(), "design");
    EXPECT_EQ(t.Label->text(), "design");
}

TEST(AnsiText, Windows1252BothWays)
{
    struct TCase {
        std::string Ansi;
        QString Text;
    };
    const TCase cases[] = {
        {"plain", "plain"},
        {"\xE0\xE8\xFF", QString::fromUtf8("\u00E0\u00E8\u00FF")},
        {"\x80\x85\x99\x9F", QString::fromUtf8("\u20AC\u2026\u2122\u0178")},
        {"\x81\x8D", QString(QChar(0x81)) + QChar(0x8D)}, // undefined in the code page
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(AnsiToQString(c.Ansi), c.Text) << c.Ansi;
        EXPECT_EQ(QStringToAnsi(c.Text), c.Ansi) << c.Ansi;
    }
    // What the code page cannot hold, a character beyond 16 bits too, is one "?".
    EXPECT_EQ(QStringToAnsi(QString::fromUtf8("a\u03A9b\U0001F600c")), "a?b?c");
}
