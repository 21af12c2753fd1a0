#include "gui/qt_held_input.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

namespace velmora {
namespace {

bool isPointer(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

bool isKey(QEvent::Type type)
{
    return type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::InputMethod;
}

// Touch and tablet input that nobody takes comes again as mouse input, which is held.
bool comesAgainAsMouse(QEvent::Type type)
{
    switch (type) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

// The window an event goes to: the window itself (the window system's input arrives there
// first), or a widget's window.
const QWindow* windowOf(QObject* receiver)
{
    if (receiver->isWindowType())
        return static_cast<QWindow*>(receiver);
    if (receiver->isWidgetType())
        return static_cast<QWidget*>(receiver)->window()->windowHandle();
    return nullptr;
}

// The events of one pointing device share the data of their point, so a copy of one would show
// the position of whatever event came later: the values are kept instead, and the event is
// made again just before it goes.
std::function<QEvent*()> remade(const QEvent& event)
{
    if (event.type() == QEvent::Wheel) {
        const auto& wheel = static_cast<const QWheelEvent&>(event);
        return [at = wheel.position(), onScreen = wheel.globalPosition(),
                pixels = wheel.pixelDelta(), angle = wheel.angleDelta(), buttons = wheel.buttons(),
                modifiers = wheel.modifiers(), phase = wheel.phase(), inverted = wheel.inverted(),
                device = wheel.pointingDevice(), time = wheel.timestamp()] {
            auto* again = new QWheelEvent(at, onScreen, pixels, angle, buttons, modifiers, phase,
                                          inverted, Qt::MouseEventNotSynthesized, device);
            again->setTimestamp(time);
            return again;
        };
    }
    const auto& mouse = static_cast<const QMouseEvent&>(event);
    return
        [type = mouse.type(), at = mouse.position(), inScene = mouse.scenePosition(),
         onScreen = mouse.globalPosition(), button = mouse.button(), buttons = mouse.buttons(),
         modifiers = mouse.modifiers(), device = mouse.pointingDevice(), time = mouse.timestamp()] {
            auto* again =
                new QMouseEvent(type, at, inScene, onScreen, button, buttons, modifiers, device);
            again->setTimestamp(time);
            return again;
        };
}

} // namespace

HeldInput::HeldInput() : modalBefore_(QGuiApplication::modalWindow())
{
    QCoreApplication::instance()->installEventFilter(this);
}

HeldInput::~HeldInput()
{
    QCoreApplication::instance()->removeEventFilter(this);
    if (held_.empty())
        return;
    // After whatever the GUI thread is doing now, each made and delivered before the next one is
    // made. A hold that begins meanwhile takes them again, in their order.
    auto held = std::make_shared<std::vector<Held>>(std::move(held_));
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [held] {
            for (const Held& one : *held) {
                if (!one.receiver)
                    continue;
                const std::unique_ptr<QEvent> event(one.make());
                QCoreApplication::sendEvent(one.receiver, event.get());
            }
        },
        Qt::QueuedConnection);
}

bool HeldInput::eventFilter(QObject* receiver, QEvent* event)
{
    const QEvent::Type type = event->type();
    const bool input = isPointer(type) || isKey(type) || comesAgainAsMouse(type) ||
                       type == QEvent::ShortcutOverride || type == QEvent::ContextMenu;
    if (!input)
        return false;
    const QWindow* window = windowOf(receiver);
    if (window && window == QGuiApplication::modalWindow() && window != modalBefore_)
        return false;
    if (type == QEvent::ShortcutOverride) {
        // Taken as the window's own key, so that no shortcut acts on it now.
        event->accept();
    } else if (comesAgainAsMouse(type)) {
        event->ignore();
    } else if (isPointer(type)) {
        held_.push_back({receiver, remade(*event)});
    } else if (isKey(type)) {
        std::shared_ptr<const QEvent> copy(event->clone());
        held_.push_back({receiver, [copy] { return copy->clone(); }});
    }
    return true;
}

} // namespace velmora
