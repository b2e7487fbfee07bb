#include "app/toolwin/OpenFilePages.h"

#include "app/FileCommands.h"
#include "app/toolwin/VectorizePage.h"
#include "app/toolwin/frmToolWin.h"
#include "core/model/WorkMonitor.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"

#include <QWidget>

TVectorizePage& AddOpenFilePages(TfrmToolWin& toolWin, TFileCommands& files, TQV_01Cmp2D& document)
{
    auto* openSheet = new QWidget;
    openSheet->setObjectName(QStringLiteral("sheetOpenR"));
    toolWin.AddPage("tabOpenR", openSheet, {});
    files.OpenPageSheet = [openSheet] { return openSheet; };
    files.ShowOpenPage = [&toolWin](const std::string& captionKey) {
        toolWin.ShowPages({"tabOpenR"}, captionKey, 424, 420);
    };
    files.HideToolWin = [&toolWin] { toolWin.RequestHide(); };
    toolWin.HideHooks.push_back([&files] { files.FreeOpenGeoPanel(); });

    auto* vectorSheet = new QWidget;
    vectorSheet->setObjectName(QStringLiteral("sheetVectorize"));
    auto* page = new TVectorizePage(*vectorSheet, document);
    toolWin.AddPage("tabVectorize", vectorSheet, {});
    page->HideToolWin = [&toolWin] { toolWin.RequestHide(); };
    toolWin.HideHooks.push_back([page] { page->Free(); });
    files.StartVectorize = [&toolWin, page](TBitmap2D& bitmap, const QImage& source) {
        page->Start(bitmap, source);
        toolWin.ShowPages({"tabVectorize"}, std::string(LangKeys::frmToolWin::CaptionVectorize), 432, 452);
        WorkMonitor().ShowStatusMessage(LangText(LangKeys::String::StatusVectorize));
    };
    return *page;
}
