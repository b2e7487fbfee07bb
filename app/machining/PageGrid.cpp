#include "app/machining/PageGrid.h"

#include "app/toolwin/PagePictures.h"
#include "app/toolwin/ToolPageWidgets.h"
#include "cad/ui/AnsiText.h"
#include "core/settings/Language.h"

#include <string>

namespace toolwin {

void OfferCutRules(TWidgetToolPage& page, const char* combo, bool allRules)
{
    auto* rules = qobject_cast<QComboBox*>(page.Find(combo));
    if (!rules)
        return;
    rules->clear();
    for (const char* key : {"cboCutRules0", "cboCutRules1", "cboCutRules2"}) {
        rules->addItem(AnsiToQString(LangToolWinText(key)));
        if (!allRules)
            break;
    }
    rules->setCurrentIndex(0);
}

void ApplyPocketType(TWidgetToolPage& page, const TPocketTypeControls& controls)
{
    const bool zigZag = page.ItemIndex(controls.Type) == 0;
    page.SetVisible(controls.AngleLabel, zigZag);
    page.SetVisible(controls.Angle, zigZag);
    page.SetVisible(controls.Spiral, !zigZag);
    if (zigZag && page.Text(controls.FinishCount) == "0")
        page.SetText(controls.FinishCount, "1");
}

void BindEnterPicture(QWidget& field, TWidgetToolPage& page, const char* image, int index)
{
    const std::string name = image;
    OnEnter(field, [&page, name, index] { SetPagePicture(page, name.c_str(), index); });
}

} // namespace toolwin
