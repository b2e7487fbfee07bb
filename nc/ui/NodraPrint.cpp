// Printing a tab of the G-code editor: its text page by page inside the
// margins, the page number and the file name where the options put them.

#include "core/model/UserNotifier.h"
#include "nc/ui/NodraDialogs.h"
#include "nc/ui/NodraMain.h"

#include <Qsci/qsciscintilla.h>

#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QRegularExpression>

void TNodraFrmMain::PrintClick()
{
    QPrintDialog dialog(&m_Printer, this);
    const int result =
        UserNotifier().RunDialog("PrintDialog", [&] { return dialog.exec() == QDialog::Accepted ? 1 : 2; });
    if (result == 1)
        PrintCurrent(m_Printer);
}

void TNodraFrmMain::PrinterSetupClick()
{
    QPageSetupDialog dialog(&m_Printer, this);
    UserNotifier().RunDialog("PrinterSetupDialog", [&] { return dialog.exec() == QDialog::Accepted ? 1 : 2; });
}

void TNodraFrmMain::PrintCurrent(QPrinter& printer)
{
    QsciScintilla& edit = *CurrentEditor();
    int caretLine = 0, caretIndex = 0;
    edit.getCursorPosition(&caretLine, &caretIndex);
    const QByteArray bytes = edit.text().toUtf8();
    const size_t printed = PrintedLength(std::string_view(bytes.constData(), bytes.size()));
    const QStringList lines = QString::fromUtf8(bytes.constData(), static_cast<qsizetype>(printed))
                                  .split(QRegularExpression("\r\n|\r|\n"));

    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) {
        UserNotifier().ShowMessage(EMessageKind::Error, "Printing failed", "");
        return;
    }
    const QRect page = printer.pageLayout().fullRectPixels(printer.resolution());
    const TPrintLayout layout = PrintLayoutFor(page.width(), page.height(), printer.logicalDpiX(), printer.logicalDpiY());
    QFont font = edit.font();
    painter.setFont(font);
    const QFontMetrics metrics(font, &printer);
    const int lineHeight = std::max(1, metrics.lineSpacing());
    const int linesPerPage = std::max(1, (layout.TextBottom - layout.TextTop) / lineHeight);
    const QString caption = CurrentCaption();
    int pageNumber = 0;
    for (qsizetype first = 0; first < lines.size() || pageNumber == 0; first += linesPerPage) {
        if (pageNumber > 0)
            printer.newPage();
        ++pageNumber;
        auto mark = [&](EPrintPlace place, int x, const QString& text) {
            if (place == EPrintPlace::None)
                return;
            const int y = place == EPrintPlace::Header ? layout.HeaderY : layout.FooterY;
            painter.drawText(x, y, text);
        };
        mark(m_PageNumberPlace, layout.PageNumberX, QString("Page: %1").arg(pageNumber));
        mark(m_FileNamePlace, layout.FileNameX, caption);
        painter.save();
        painter.setClipRect(QRect(QPoint(layout.TextLeft, layout.TextTop), QPoint(layout.TextRight, layout.TextBottom)));
        int y = layout.TextTop + metrics.ascent();
        for (qsizetype i = first; i < std::min(lines.size(), first + linesPerPage); ++i, y += lineHeight)
            painter.drawText(layout.TextLeft, y, QString(lines[i]).replace('\t', "        "));
        painter.restore();
        if (lines.isEmpty())
            break;
    }
    painter.end();
    edit.setCursorPosition(caretLine, caretIndex);
}
