#include "nc/ui/GRBLCont.h"

#include "cad/program/EventGuard.h"
#include "cad/ui/AnsiText.h"
#include "nc/grbl/GRBLCnc.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include <iostream>

TGRBLCont::TGRBLCont(QWidget& mdiGroup, QWidget& macroGroup, std::string settingsFile, TGRBLCnc& link)
    : m_SettingsFile(std::move(settingsFile)), m_Link(link)
{
    const TGrblMacros macros = ReadGrblMacros(m_SettingsFile);
    const QIcon sendIcon = QApplication::style()->standardIcon(QStyle::SP_MediaPlay);
    for (int tag = 0; tag < 6; ++tag) {
        auto* wcs = new QPushButton(QStringLiteral("G%1").arg(54 + tag), &mdiGroup);
        wcs->setObjectName(QStringLiteral("sbtGRBLWcs%1").arg(tag));
        wcs->setCheckable(true);
        wcs->setGeometry(8 + 28 * tag, 162, 28, 25);
        wcs->show();
        QObject::connect(wcs, &QPushButton::clicked, wcs, [this, tag] { GuardedCall([&] { WcsButtonClick(tag); }); });
        WcsButtons[size_t(tag)] = wcs;

        auto* edit = new QLineEdit(AnsiToQString(macros[size_t(tag)]), &macroGroup);
        edit->setObjectName(QStringLiteral("edtGRBLMacro%1").arg(tag));
        edit->setGeometry(8, 64 + 40 * tag, 241, 21);
        edit->show();
        QObject::connect(edit, &QLineEdit::textChanged, edit, [this, tag] { MacroEditChange(tag); });
        MacroEdits[size_t(tag)] = edit;

        auto* send = new QPushButton(&macroGroup);
        send->setObjectName(QStringLiteral("sbtGRBLMacro%1").arg(tag));
        send->setIcon(sendIcon);
        send->setGeometry(256, 62 + 40 * tag, 25, 25);
        send->show();
        QObject::connect(send, &QPushButton::clicked, send, [this, tag] { GuardedCall([&] { MacroSendClick(tag); }); });
        MacroButtons[size_t(tag)] = send;
    }
    MacrosModified = false;
}

TGRBLCont::~TGRBLCont()
{
    if (MacrosModified) {
        TGrblMacros macros;
        for (int i = 0; i < GrblMacroCount; ++i)
            macros[size_t(i)] = QStringToAnsi(MacroEdits[size_t(i)]->text());
        if (const std::string error = WriteGrblMacros(m_SettingsFile, macros); !error.empty())
            std::cerr << "Kestrabel: the machine macros were not saved: " << error << '\n';
    }
    for (size_t i = 0; i < 6; ++i) {
        delete WcsButtons[i];
        delete MacroEdits[i];
        delete MacroButtons[i];
    }
}

void TGRBLCont::WcsButtonClick(int tag)
{
    ShowWcs(tag);
    // With the port open the machine's answer sets the buttons again.
    m_Link.SelectWcs(tag);
}

void TGRBLCont::ShowWcs(int index)
{
    for (int i = 0; i < 6; ++i)
        WcsButtons[size_t(i)]->setChecked(i == index);
}

void TGRBLCont::MacroSendClick(int tag) { m_Link.SendMacro(QStringToAnsi(MacroEdits[size_t(tag)]->text())); }

void TGRBLCont::MacroEditChange(int) { MacrosModified = true; }

void TGRBLCont::SetMacroSendEnabled(bool enabled)
{
    for (QPushButton* button : MacroButtons)
        button->setEnabled(enabled);
}
