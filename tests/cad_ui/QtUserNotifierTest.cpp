#include "cad/ui/QtUserNotifier.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <functional>

#include <gtest/gtest.h>

namespace {

// Runs act on the message box once it is shown, from the event loop of its
// exec, and records what the box looked like.
struct TBoxDriver {
    explicit TBoxDriver(std::function<void(QMessageBox&)> act) : Act(std::move(act))
    {
        QTimer::singleShot(0, [this] { Run(); });
    }

    void Run()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            // Not shown yet: look again.
            QTimer::singleShot(5, [this] { Run(); });
            return;
        }
        Title = box->windowTitle();
        Text = box->text();
        Format = box->textFormat();
        Icon = box->icon();
        Act(*box);
    }

    std::function<void(QMessageBox&)> Act;
    QString Title;
    QString Text;
    Qt::TextFormat Format = Qt::AutoText;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
};

TEST(QtUserNotifier, QuestionsAnswerYesNoAndDismissed)
{
    struct TCase {
        const char* Name;
        std::function<void(QMessageBox&)> Act;
        EUserAnswer Expected;
    };
    const TCase cases[] = {
        {"Yes button", [](QMessageBox& b) { b.button(QMessageBox::Yes)->click(); }, EUserAnswer::Yes},
        {"No button", [](QMessageBox& b) { b.button(QMessageBox::No)->click(); }, EUserAnswer::No},
        {"Enter", [](QMessageBox& b) { QTest::keyClick(&b, Qt::Key_Return); }, EUserAnswer::Yes},
        // Qt would make a lone No button the escape button.
        {"Escape", [](QMessageBox& b) { QTest::keyClick(&b, Qt::Key_Escape); }, EUserAnswer::Dismissed},
        {"close box", [](QMessageBox& b) { b.close(); }, EUserAnswer::Dismissed},
    };
    for (const TCase& c : cases) {
        TQtUserNotifier notifier;
        TBoxDriver driver(c.Act);
        EXPECT_EQ(notifier.AskYesNo("Draw it?", "Grid"), c.Expected) << c.Name;
        EXPECT_EQ(driver.Icon, QMessageBox::Warning);
        EXPECT_EQ(driver.Title, QStringLiteral("Grid"));
    }
}

TEST(QtUserNotifier, MessagesArePlainTextWithLineBreaks)
{
    TQtUserNotifier notifier;
    TBoxDriver driver([](QMessageBox& b) { b.button(QMessageBox::Ok)->click(); });
    // An empty caption takes the application title; 0xE9 is Windows-1252.
    notifier.ShowMessage(EMessageKind::Error, "<b>Fil\xE9</b>\r\nnot found", "");
    EXPECT_EQ(driver.Format, Qt::PlainText);
    EXPECT_EQ(driver.Text, QString::fromUtf8("<b>Fil\u00e9</b>\nnot found"));
    EXPECT_EQ(driver.Icon, QMessageBox::Critical);
    EXPECT_FALSE(driver.Title.isEmpty());
}

} // namespace
