#include "cam/tools/CurrentToolLibrary.h"

namespace {

TToolLibraryViews& ViewsSlot()
{
    static TToolLibraryViews views;
    return views;
}

std::unique_ptr<TLibreriaUtBase>& LibrarySlot()
{
    static std::unique_ptr<TLibreriaUtBase> library;
    return library;
}

} // namespace

void SetToolLibraryViews(const TToolLibraryViews& views)
{
    ViewsSlot() = views;
}

const TToolLibraryViews& ToolLibraryViews()
{
    return ViewsSlot();
}

TLibreriaUtBase* CurrentToolLibrary()
{
    return LibrarySlot().get();
}

void SetCurrentToolLibrary(std::unique_ptr<TLibreriaUtBase> library)
{
    // The old library clears its list before the new one fills it.
    LibrarySlot().reset();
    LibrarySlot() = std::move(library);
}
