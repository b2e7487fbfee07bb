// The typed-coordinate dialog on its own: what its edits let through, its
// results, and the conversion of what was typed.
#include "app/mainwin/frmCoord.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(CoordDialog, TheEditsTakeSignedDecimalsOnly)
{
    TfrmCoord dialog;
    struct TCase {
        const char* Typed;
        const char* Shown;
    };
    const TCase cases[] = {
        {"12,5", "12.5"},   // a comma arrives as the decimal point
        {"-3a.b7x", "-3.7"}, // letters are dropped
        {"1e5 ", "15"},     // so are the exponent and blanks
    };
    for (const TCase& c : cases) {
        for (QLineEdit* edit : {&dialog.txtCoordX(), &dialog.txtCoordY()}) {
            edit->clear();
            QTest::keyClicks(edit, QString::fromLatin1(c.Typed));
            EXPECT_EQ(edit->text(), QString::fromLatin1(c.Shown)) << c.Typed;
        }
    }
}

TEST(CoordDialog, OkAndCancelGiveTheirResults)
{
    TfrmCoord dialog;
    for (const auto& [button, expected] : {std::pair{&dialog.btnOk(), TfrmCoord::ResultOk},
                                           std::pair{&dialog.btnCancel(), TfrmCoord::ResultCancel}}) {
        QPushButton* toPress = button;
        QTimer::singleShot(0, toPress, [toPress] { toPress->click(); });
        EXPECT_EQ(dialog.exec(), expected);
    }
    // Shown, it is translated and the X edit has the focus.
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(dialog.focusWidget(), &dialog.txtCoordX());
    dialog.hide();
}

TEST(CoordDialog, OnlyWholeNumbersConvert)
{
    EXPECT_EQ(CoordFromText("12.5"), 12.5);
    EXPECT_EQ(CoordFromText("-3"), -3.0);
    for (const char* bad : {"", "-", ".", "-.", "1-2", "1.2.3"}) {
        try {
            (void)CoordFromText(bad);
            ADD_FAILURE() << "converted: '" << bad << "'";
        } catch (const std::invalid_argument& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid floating point value");
        }
    }
}

} // namespace
