#include "app/machining/PageGrid.h"

#include "app/toolwin/PagePictures.h"

#include <string>

namespace toolwin {

void BindEnterPicture(QWidget& field, TWidgetToolPage& page, const char* image, int index)
{
    const std::string name = image;
    field.installEventFilter(new TEnterFilter(&field, [&page, name, index] { SetPagePicture(page, name.c_str(), index); }));
}

} // namespace toolwin
