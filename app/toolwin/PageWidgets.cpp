#include "app/toolwin/PageWidgets.h"

#include "cad/program/EventGuard.h"

#include <QEvent>

namespace toolwin {

namespace {

class TEnterFilter final : public QObject {
public:
    TEnterFilter(QObject* parent, std::function<void()> enter) : QObject(parent), m_Enter(std::move(enter)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn)
            GuardedCall(m_Enter);
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_Enter;
};

} // namespace

void OnEnter(QWidget& field, std::function<void()> enter)
{
    field.installEventFilter(new TEnterFilter(&field, std::move(enter)));
}

} // namespace toolwin
