#include "cad/ui/FormTranslate.h"

#include "cad/ui/AnsiText.h"
#include "core/settings/Language.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBar>

#include <string>

namespace {

// The language text in display form: Windows-1252 decoded, CR LF as the
// widgets' line break.
QString DisplayText(const std::string& text)
{
    QString s = AnsiToQString(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

void SetCaption(QObject* object, const QString& text)
{
    if (auto* action = qobject_cast<QAction*>(object)) {
        action->setText(text);
    } else if (auto* menu = qobject_cast<QMenu*>(object)) {
        menu->setTitle(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(object)) {
        label->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(object)) {
        group->setTitle(text);
    } else if (qobject_cast<QDockWidget*>(object) || qobject_cast<QToolBar*>(object)) {
        static_cast<QWidget*>(object)->setWindowTitle(text);
    } else if (auto* page = qobject_cast<QWidget*>(object)) {
        // A tab page lies in the tab widget's stack; its caption is its tab.
        QWidget* stack = page->parentWidget();
        auto* tabs = stack && qobject_cast<QStackedWidget*>(stack)
                         ? qobject_cast<QTabWidget*>(stack->parentWidget())
                         : nullptr;
        const int index = tabs ? tabs->indexOf(page) : -1;
        if (index >= 0)
            tabs->setTabText(index, text);
    }
}

void SetHint(QObject* object, const QString& text)
{
    if (auto* action = qobject_cast<QAction*>(object)) {
        // Menu entries show no tool tips; the status bar shows the hint.
        action->setToolTip(text);
        action->setStatusTip(text);
    } else if (auto* widget = qobject_cast<QWidget*>(object)) {
        widget->setToolTip(text);
    }
}

// The radio buttons of a radio group in item order; empty for other objects.
QList<QAbstractButton*> RadioItems(QObject* object)
{
    QList<QAbstractButton*> items;
    if (auto* group = qobject_cast<QButtonGroup*>(object)) {
        const QList<QAbstractButton*> added = group->buttons();
        for (qsizetype i = 0; i < added.size(); ++i) {
            QAbstractButton* byId = group->button(static_cast<int>(i));
            items.append(byId ? byId : added[i]);
        }
    } else if (auto* box = qobject_cast<QGroupBox*>(object)) {
        for (QRadioButton* radio : box->findChildren<QRadioButton*>())
            items.append(radio);
    }
    return items;
}

class TFormTranslator {
public:
    TFormTranslator(const TIniFile& ini, std::string section) : m_Ini(ini), m_Section(std::move(section)) {}

    // The text of a key, or an empty string when it is missing or empty.
    QString Text(const std::string& key) const { return DisplayText(ReadLangText(&m_Ini, m_Section, key)); }

    void TranslateComponent(QObject* object, const std::string& name) const
    {
        if (const QString caption = Text(name + ".Caption"); !caption.isEmpty())
            SetCaption(object, caption);
        if (const QString hint = Text(name + ".Hint"); !hint.isEmpty())
            SetHint(object, hint);
        if (auto* combo = qobject_cast<QComboBox*>(object)) {
            for (int i = 0; i < combo->count(); ++i)
                if (const QString item = Text(ItemKey(name, i)); !item.isEmpty())
                    combo->setItemText(i, item);
            return;
        }
        const QList<QAbstractButton*> radios = RadioItems(object);
        for (qsizetype i = 0; i < radios.size(); ++i)
            if (const QString item = Text(ItemKey(name, static_cast<int>(i))); !item.isEmpty())
                radios[i]->setText(item);
    }

private:
    static std::string ItemKey(const std::string& name, int index)
    {
        return name + ".items[" + std::to_string(index) + "]";
    }

    const TIniFile& m_Ini;
    std::string m_Section;
};

// A window below a form (a dialog or tool window parented to it) is a form
// of its own with its own section; menus, tool bars and dock widgets, which
// are windows too while shown or floating, belong to their form.
bool IsOwnForm(const QObject* object)
{
    const auto* widget = qobject_cast<const QWidget*>(object);
    return widget && widget->isWindow() && !qobject_cast<const QMenu*>(widget)
           && !qobject_cast<const QDockWidget*>(widget) && !qobject_cast<const QToolBar*>(widget);
}

void TranslateChildren(const QObject& parent, const TFormTranslator& translator)
{
    const QObjectList children = parent.children(); // a snapshot: texts may rebuild parts
    for (QObject* object : children) {
        if (IsOwnForm(object))
            continue;
        const QString name = object->objectName();
        // Qt names the parts it builds inside its widgets "qt_...".
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
            translator.TranslateComponent(object, QStringToAnsi(name));
        TranslateChildren(*object, translator);
    }
}

void TranslateForm(QWidget& form, const TIniFile& ini)
{
    const std::string formName = QStringToAnsi(form.objectName());
    const TFormTranslator translator(ini, formName);
    if (const QString caption = translator.Text(formName + ".Caption"); !caption.isEmpty())
        form.setWindowTitle(caption);
    TranslateChildren(form, translator);
}

} // namespace

void TranslateForms(std::initializer_list<QWidget*> forms, const TIniFile* ini)
{
    if (!ini) {
        ReportMissingLanguageFile();
        return;
    }
    for (QWidget* form : forms)
        if (form)
            TranslateForm(*form, *ini);
}
