#include "app/toolwin/ToolLibraryPage.h"

#include "app/machining/MachiningContext.h"
#include "app/toolwin/PageWidgets.h"
#include "app/toolwin/ToolPageWidgets.h"
#include "cad/program/EventGuard.h"
#include "cad/ui/AnsiText.h"
#include "cam/ops/OpManager.h"
#include "cam/tools/LibreriaUtBase.h"
#include "core/settings/AppConfig.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

namespace toolwin {

TLibreriaUtBase* EditedToolLibrary()
{
    TMachiningContext* context = MachiningContext();
    return context ? context->CurrentToolLibrary() : nullptr;
}

TFileRequest LibraryFileRequest(const std::string& setting, const char* filterTitle, const char* suffix)
{
    const std::filesystem::path path(setting);
    TFileRequest request;
    request.Filters = {{filterTitle, {suffix}}};
    std::error_code ec;
    const std::filesystem::path folder = path.parent_path();
    request.Folder = !folder.empty() && std::filesystem::is_directory(folder, ec) ? folder.string()
                                                                                  : AppConfig().ToolsFolder();
    request.FileName = path.filename().string();
    request.DefaultSuffix = suffix;
    return request;
}

void OpenLibraryFile(const TFileRequest& request)
{
    TLibreriaUtBase* library = EditedToolLibrary();
    if (!library)
        return;
    const std::string name = UserNotifier().AskOpenFileName(request);
    if (name.empty())
        return;
    TOpManagerField* op = MachiningContext()->CurrentOperation();
    TDatiUtBase* tool = op && op->Parameters ? op->Parameters->ToolData.get() : nullptr;
    library->LoadFromFile(name, tool, true);
}

void SaveLibraryFile(const TFileRequest& request)
{
    TLibreriaUtBase* library = EditedToolLibrary();
    if (!library)
        return;
    const std::string name = UserNotifier().AskSaveFileName(request);
    if (!name.empty())
        library->SaveToFile(name);
}

TToolListWidget* MakeLibraryList(QWidget* parent, const char* name)
{
    auto* list = new TToolListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->OnMove = [list](int from, int to) { MoveLibraryRecord(*list, from, to); };
    auto* menu = Make<QMenu>(list, "mnuTools");
    QAction* del = menu->addAction(QStringLiteral("Delete"));
    del->setObjectName(QStringLiteral("mnuToolDelete"));
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(list, &QWidget::customContextMenuRequested, menu,
                     [list, menu](const QPoint& at) { menu->popup(list->viewport()->mapToGlobal(at)); });
    QObject::connect(del, &QAction::triggered, list, [] { GuardedCall([] { DeleteSelectedRecord(); }); });
    return list;
}

TLibraryListGroup MakeLibraryListGroup(QWidget& sheet, const char* group, const char* list, const char* save,
                                       const char* open, const char* nameLabel)
{
    auto* box = Make<QGroupBox>(&sheet, group, QStringLiteral("Library"));
    auto* column = new QVBoxLayout(box);
    TLibraryListGroup made;
    made.List = MakeLibraryList(box, list);
    column->addWidget(made.List);
    auto* files = new QHBoxLayout;
    made.Save = Button(box, save, "Save");
    made.Open = Button(box, open, "Open");
    files->addWidget(made.Save);
    files->addWidget(made.Open);
    column->addLayout(files);
    auto* name = Make<QLabel>(box, nameLabel);
    name->setWordWrap(true);
    column->addWidget(name);
    sheet.layout()->addWidget(box);
    return made;
}

TRecordRows::TRecordRows(QGroupBox* group) : m_Group(group), m_Grid(new QGridLayout(group)) {}

void TRecordRows::Add(const char* label, const char* text, QWidget* field)
{
    m_Grid->addWidget(Make<QLabel>(m_Group, label, QString::fromLatin1(text)), m_Row, 0);
    m_Grid->addWidget(field, m_Row++, 1);
}

void TRecordRows::Span(QWidget* control)
{
    m_Grid->addWidget(control, m_Row++, 0, 1, 2);
}

void TRecordRows::Pair(QWidget* left, QWidget* right)
{
    m_Grid->addWidget(left, m_Row, 0);
    m_Grid->addWidget(right, m_Row++, 1);
}

void InstallLibraryViews(TToolListWidget& list, TToolPage& page, TLibraryViewSlot slot)
{
    TToolLibraryViews views = ToolLibraryViews();
    views.*slot.List = &list;
    views.*slot.Page = &page;
    SetToolLibraryViews(views);
}

void DetachLibraryViews(TToolListWidget& list, TLibraryViewSlot slot)
{
    // The current library works on without a window.
    if (TLibreriaUtBase* library = CurrentToolLibrary(); library && library->ListView() == &list)
        library->DetachViews();
    TToolLibraryViews views = ToolLibraryViews();
    if (views.*slot.List == &list) {
        views.*slot.List = nullptr;
        views.*slot.Page = nullptr;
        SetToolLibraryViews(views);
    }
}

void AddRecordFromPage()
{
    if (TLibreriaUtBase* library = EditedToolLibrary())
        library->NewFromPage();
}

void DeleteSelectedRecord()
{
    // Whichever list's pop-up asked: the current library's list says which.
    TLibreriaUtBase* library = EditedToolLibrary();
    const auto* list = library ? dynamic_cast<const TToolListWidget*>(library->ListView()) : nullptr;
    const int index = list ? list->currentRow() : -1;
    if (index >= 0)
        library->Delete(index);
}

TDatiUtBase* ModifySelectedRecord(TToolListWidget& list, const TToolPage& page)
{
    TLibreriaUtBase* library = EditedToolLibrary();
    const int index = list.currentRow();
    if (!library || index < 0 || index >= library->Count())
        return nullptr;
    TDatiUtBase& record = library->Record(index);
    if (!record.FromPage(page))
        return nullptr;
    list.item(index)->setText(AnsiToQString(library->ItemCaption(record)));
    return &record;
}

void MoveLibraryRecord(TToolListWidget& list, int from, int to)
{
    TLibreriaUtBase* library = EditedToolLibrary();
    if (!library || from < 0 || to < 0 || from >= library->Count() || to >= library->Count())
        return;
    library->MoveRecord(from, to);
    list.MoveItem(from, to);
}

} // namespace toolwin
