#include "windows/wait_input.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QShortcutEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <deque>
#include <memory>
#include <vector>

namespace windows {
namespace {

// A held event waits this long again while a modal box keeps its window
// from input.
constexpr int kModalRetryMs = 50;

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
        return true;
    default:
        return false;
    }
}

bool isMousePress(QEvent::Type type)
{
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick
           || type == QEvent::NonClientAreaMouseButtonPress || type == QEvent::NonClientAreaMouseButtonDblClick;
}

bool isMouseRelease(QEvent::Type type)
{
    return type == QEvent::MouseButtonRelease || type == QEvent::NonClientAreaMouseButtonRelease;
}

bool isMouseMove(QEvent::Type type)
{
    return type == QEvent::MouseMove || type == QEvent::NonClientAreaMouseMove;
}

// The widget under a press on a window: the control the press would reach.
QWidget *widgetUnder(QObject *window, QPointF at)
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() != window)
            continue;
        QWidget *child = top->childAt(at.toPoint());
        return child ? child : top;
    }
    return nullptr;
}

const QObject *controlUnder(QObject *window, QPointF at)
{
    QWidget *widget = widgetUnder(window, at);
    return widget ? static_cast<QObject *>(widget) : window;
}

// A modal box keeps input from every window but its own.
bool blockedByModalBox(const QObject *target)
{
    const QWidget *modal = QApplication::activeModalWidget();
    const auto *widget = qobject_cast<const QWidget *>(target);
    return modal && widget && widget->window() != modal && !modal->isAncestorOf(widget);
}

} // namespace

// One per channel, made on first use as the channel's child; it stays.
class WaitInputFilter : public QObject
{
public:
    static WaitInputFilter &of(shell::Class1 &link)
    {
        for (QObject *child : link.children())
            if (auto *filter = dynamic_cast<WaitInputFilter *>(child))
                return *filter;
        return *new WaitInputFilter(link);
    }

    void push(WaitInput input) { m_rules.push_back(std::move(input)); }
    void keepBack(std::function<bool(const QObject *, QPoint)> refuses) { m_keepBack = std::move(refuses); }
    void pop() { m_rules.pop_back(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (!isUserInput(type))
            return false;
        if (restOfARefusedGesture(event))
            return true;
        // Input a wait held goes first.
        if (!m_link.isWaiting() && !m_held.empty() && m_delivering == 0)
            deliverHeld();
        if (watched->isWindowType() && keptBack(watched, event))
            return true;
        const bool judging = m_link.isWaiting() && !m_rules.empty();
        if (!judging)
            return false;
        const WaitInput &rule = m_rules.back();
        // A press is judged where it reaches the window, before it gives the
        // focus to anything or brings a window forward; the rest of the
        // input reaches the control it is for, and is judged there.
        if (watched->isWindowType()) {
            if (!isMousePress(type))
                return false;
            const auto *mouse = static_cast<const QMouseEvent *>(event);
            if (heard(rule, controlUnder(watched, mouse->position())))
                return false;
            m_refusedButtons |= mouse->button();
            // A double click's second press came first and was refused.
            if (type != QEvent::MouseButtonDblClick && type != QEvent::NonClientAreaMouseButtonDblClick)
                refuse(rule);
            return true;
        }
        if (heard(rule, watched))
            return false;
        if (startsSomething(event)) {
            remember(event);
            refuse(rule);
            return true;
        }
        // The menu a press or a key would open, and text typed through an
        // input method: parts of a refused stroke.
        if (type == QEvent::ContextMenu || type == QEvent::InputMethod)
            return true;
        hold(watched, event);
        return true;
    }

private:
    explicit WaitInputFilter(shell::Class1 &link) : QObject(&link), m_link(link)
    {
        m_retry.setSingleShot(true);
        m_retry.setInterval(kModalRetryMs);
        connect(&m_retry, &QTimer::timeout, this, &WaitInputFilter::deliverHeld);
        if (QCoreApplication *application = QCoreApplication::instance())
            application->installEventFilter(this);
    }

    // A press on a control that refuses it for the moment, and its release,
    // go to the control straight, not through its window: the window system
    // would give the focus first, and with it bring the window forward.
    bool keptBack(QObject *window, QEvent *event)
    {
        const QEvent::Type type = event->type();
        if (!isMousePress(type) && !isMouseRelease(type))
            return false;
        const auto *mouse = static_cast<const QMouseEvent *>(event);
        QWidget *control = nullptr;
        if (isMouseRelease(type)) {
            if (!(m_keptBackButtons & mouse->button()))
                return false;
            m_keptBackButtons &= ~mouse->button();
            control = m_keptBackControl;
        } else {
            if (!m_keepBack || (m_link.isWaiting() && !m_rules.empty()))
                return false;
            control = widgetUnder(window, mouse->position());
            if (!control || !m_keepBack(control, control->mapFrom(control->window(), mouse->position().toPoint())))
                return false;
            m_keptBackControl = control;
            m_keptBackButtons |= mouse->button();
        }
        if (!control)
            return true;
        const QPointF at = control->mapFrom(control->window(), mouse->position());
        QMouseEvent straight(type, at, mouse->scenePosition(), mouse->globalPosition(), mouse->button(), mouse->buttons(),
                             mouse->modifiers(), mouse->pointingDevice());
        straight.setTimestamp(mouse->timestamp());
        QCoreApplication::sendEvent(control, &straight);
        return true;
    }

    static bool heard(const WaitInput &rule, const QObject *target) { return rule.heard && rule.heard(target); }

    static void refuse(const WaitInput &rule)
    {
        if (rule.refused)
            rule.refused();
    }

    // One press, one stroke: what the user means as one action.
    static bool startsSomething(const QEvent *event)
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::TabletPress:
        case QEvent::TouchBegin:
        case QEvent::Shortcut:
            return true;
        case QEvent::KeyPress:
            return !static_cast<const QKeyEvent *>(event)->isAutoRepeat();
        default:
            return false;
        }
    }

    // A refused press: the rest of its gesture is dropped as it comes.
    void remember(const QEvent *event)
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            m_refusedKeys.push_back(static_cast<const QKeyEvent *>(event)->key());
            return;
        case QEvent::Shortcut: {
            const QKeySequence keys = static_cast<const QShortcutEvent *>(event)->key();
            if (!keys.isEmpty())
                m_refusedKeys.push_back(keys[keys.count() - 1].key());
            return;
        }
        case QEvent::TabletPress:
            m_refusedTablet = true;
            return;
        case QEvent::TouchBegin:
            m_refusedTouch = true;
            return;
        default:
            m_refusedButtons |= static_cast<const QMouseEvent *>(event)->button();
            return;
        }
    }

    bool restOfARefusedGesture(const QEvent *event)
    {
        const QEvent::Type type = event->type();
        if (isMousePress(type)) {
            // A press of a button whose release never came here starts anew.
            m_refusedButtons &= ~static_cast<const QMouseEvent *>(event)->button();
            return false;
        }
        if (isMouseRelease(type)) {
            const Qt::MouseButton button = static_cast<const QMouseEvent *>(event)->button();
            if (!(m_refusedButtons & button))
                return false;
            m_refusedButtons &= ~button;
            return true;
        }
        if (isMouseMove(type)) {
            const Qt::MouseButtons down = static_cast<const QMouseEvent *>(event)->buttons();
            return down != Qt::NoButton && (down & ~m_refusedButtons) == Qt::NoButton;
        }
        if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
            const auto *key = static_cast<const QKeyEvent *>(event);
            const auto refused = std::find(m_refusedKeys.begin(), m_refusedKeys.end(), key->key());
            if (refused == m_refusedKeys.end() || (type == QEvent::KeyPress && !key->isAutoRepeat()))
                return false;
            if (type == QEvent::KeyRelease && !key->isAutoRepeat())
                m_refusedKeys.erase(refused);
            return true;
        }
        if (m_refusedTablet && (type == QEvent::TabletMove || type == QEvent::TabletRelease)) {
            m_refusedTablet = type != QEvent::TabletRelease;
            return true;
        }
        if (m_refusedTouch && (type == QEvent::TouchUpdate || type == QEvent::TouchEnd || type == QEvent::TouchCancel)) {
            m_refusedTouch = type == QEvent::TouchUpdate;
            return true;
        }
        return false;
    }

    void hold(QObject *target, const QEvent *event)
    {
        m_held.push_back({target, std::unique_ptr<QEvent>(event->clone())});
        postDelivery();
    }

    // The held input goes once the program is back in its events outside
    // every wait: not inside the wait's own procedure, whose end it must
    // not overtake.
    void postDelivery()
    {
        if (m_deliveryPosted)
            return;
        m_deliveryPosted = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_deliveryPosted = false;
                if (m_link.isWaiting())
                    postDelivery();  // the next slice, or after the wait
                else
                    deliverHeld();
            },
            Qt::QueuedConnection);
    }

    void deliverHeld()
    {
        ++m_delivering;
        while (!m_held.empty()) {
            if (m_link.isWaiting()) {
                postDelivery();
                break;
            }
            if (blockedByModalBox(m_held.front().target)) {
                m_retry.start();
                break;
            }
            Held next = std::move(m_held.front());
            m_held.pop_front();
            if (next.target)
                QCoreApplication::sendEvent(next.target, next.event.get());
        }
        --m_delivering;
    }

    struct Held
    {
        QPointer<QObject> target;
        std::unique_ptr<QEvent> event;
    };

    shell::Class1 &m_link;
    std::vector<WaitInput> m_rules;  // innermost last
    std::function<bool(const QObject *, QPoint)> m_keepBack;
    QPointer<QWidget> m_keptBackControl;
    Qt::MouseButtons m_keptBackButtons;
    std::deque<Held> m_held;
    bool m_deliveryPosted = false;
    int m_delivering = 0;
    QTimer m_retry;
    Qt::MouseButtons m_refusedButtons;
    std::vector<int> m_refusedKeys;
    bool m_refusedTablet = false;
    bool m_refusedTouch = false;
};

InputDuringWaits::InputDuringWaits(shell::Class1 &link, WaitInput input)
    : m_events(link), m_filter(WaitInputFilter::of(link))
{
    m_filter.push(std::move(input));
}

InputDuringWaits::~InputDuringWaits() { m_filter.pop(); }

void keepBackPresses(shell::Class1 &link, std::function<bool(const QObject *control, QPoint at)> refuses)
{
    WaitInputFilter::of(link).keepBack(std::move(refuses));
}

} // namespace windows
