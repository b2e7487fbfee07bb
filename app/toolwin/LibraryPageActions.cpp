#include "app/toolwin/LibraryPageActions.h"

#include "app/machining/MachiningContext.h"
#include "app/toolwin/PageWidgets.h"
#include "app/toolwin/ToolPageWidgets.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/program/EventGuard.h"
#include "cam/ops/OpManager.h"
#include "cam/tools/LibreriaUtBase.h"
#include "core/model/UserNotifier.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

namespace toolwin {

TFileRequest LibraryFileRequest(const TLibraryFiles& files)
{
    const std::filesystem::path setting(AppConfig().*files.Setting);
    TFileRequest request;
    request.Filters = {{files.FilterTitle, {files.Extension}}};
    std::error_code ec;
    const std::filesystem::path folder = setting.parent_path();
    request.Folder = !folder.empty() && std::filesystem::is_directory(folder, ec) ? folder.string()
                                                                                  : AppConfig().ToolsFolder();
    request.FileName = setting.filename().string();
    request.DefaultSuffix = files.Extension;
    return request;
}

TLibreriaUtBase* PageLibrary()
{
    TMachiningContext* context = MachiningContext();
    return context ? context->CurrentToolLibrary() : nullptr;
}

int SelectedRecord(const TToolListWidget& list)
{
    TLibreriaUtBase* library = PageLibrary();
    const int index = list.currentRow();
    return library && index >= 0 && index < library->Count() ? index : -1;
}

void AddRecordFromPage()
{
    if (TLibreriaUtBase* library = PageLibrary())
        library->NewFromPage();
}

void DeleteSelectedRecord(const TToolListWidget& list)
{
    const int index = SelectedRecord(list);
    if (index >= 0)
        PageLibrary()->Delete(index);
}

void MoveRecord(TToolListWidget& list, int from, int to)
{
    TLibreriaUtBase* library = PageLibrary();
    if (!library || from < 0 || to < 0 || from >= library->Count() || to >= library->Count())
        return;
    library->MoveRecord(from, to);
    list.MoveItem(from, to);
}

void OpenLibraryFile(const TLibraryFiles& files)
{
    TLibreriaUtBase* library = PageLibrary();
    if (!library)
        return;
    const std::string name = UserNotifier().AskOpenFileName(LibraryFileRequest(files));
    if (name.empty())
        return;
    TOpManagerField* op = MachiningContext()->CurrentOperation();
    TDatiUtBase* tool = op && op->Parameters ? op->Parameters->ToolData.get() : nullptr;
    library->LoadFromFile(name, tool, true);
}

void SaveLibraryFile(const TLibraryFiles& files)
{
    TLibreriaUtBase* library = PageLibrary();
    if (!library)
        return;
    std::string name = UserNotifier().AskSaveFileName(LibraryFileRequest(files));
    if (name.empty())
        return;
    if (!std::filesystem::path(name).has_extension())
        name += std::string(".") + files.Extension;
    library->SaveToFile(name);
}

TLibraryListGroup MakeLibraryListGroup(QWidget* sheet, const TLibraryListNames& names)
{
    auto* group = Make<QGroupBox>(sheet, names.Group, QStringLiteral("Library"));
    auto* layout = new QVBoxLayout(group);
    auto* list = new TToolListWidget(group);
    list->setObjectName(QString::fromLatin1(names.List));
    layout->addWidget(list);
    auto* files = new QHBoxLayout;
    QPushButton* save = Button(group, names.Save, "Save");
    QPushButton* open = Button(group, names.Open, "Open");
    files->addWidget(save);
    files->addWidget(open);
    layout->addLayout(files);
    auto* name = Make<QLabel>(group, names.NameLabel);
    name->setWordWrap(true);
    layout->addWidget(name);
    return {group, list, save, open};
}

void InstallLibraryViews(TListSlot listSlot, TPageSlot pageSlot, TToolListWidget* list, TToolPage* page)
{
    TToolLibraryViews views = ToolLibraryViews();
    views.*listSlot = list;
    views.*pageSlot = page;
    SetToolLibraryViews(views);
}

void ReleaseLibraryViews(TListSlot listSlot, TPageSlot pageSlot, TToolListWidget*& list)
{
    if (!list)
        return;
    if (TLibreriaUtBase* library = CurrentToolLibrary(); library && library->ListView() == list)
        library->DetachViews();
    TToolLibraryViews views = ToolLibraryViews();
    if (views.*listSlot == list) {
        views.*listSlot = nullptr;
        views.*pageSlot = nullptr;
        SetToolLibraryViews(views);
    }
    list->BeforeGone = nullptr;
    list = nullptr;
}

void AddToolLibraryPage(TfrmToolWin& window, const char* tab, QWidget* sheet)
{
    constexpr int kToolPageWidth = 494;
    window.AddPage(tab, sheet, [&window] {
        if (window.ShowStatusMessage)
            window.ShowStatusMessage(LangText(LangKeys::String::StatusToolPage));
        window.resize(kToolPageWidth, window.height());
    });
}

QAction* AddDeleteMenu(TToolListWidget& list)
{
    auto* menu = Make<QMenu>(&list, "mnuTools");
    QAction* del = menu->addAction(QStringLiteral("Delete"));
    del->setObjectName(QStringLiteral("mnuToolDelete"));
    list.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&list, &QWidget::customContextMenuRequested, menu,
                     [&list, menu](const QPoint& at) { menu->popup(list.viewport()->mapToGlobal(at)); });
    QObject::connect(del, &QAction::triggered, &list, [&list] { GuardedCall([&list] { DeleteSelectedRecord(list); }); });
    return del;
}

} // namespace toolwin
