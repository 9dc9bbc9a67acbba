#include "modal.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <optional>
#include <utility>
#include <vector>

#ifdef VARNEL_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#endif

namespace forms::detail {
namespace {

#ifdef VARNEL_HAVE_XCB
// The pointer and keyboard reach Qt through the X Input 2 extension, as
// generic events; its protocol headers are not needed for the three fields
// read here.
constexpr std::uint16_t xiKeyPress = 2;
constexpr std::uint16_t xiButtonPress = 4;
constexpr std::uint16_t xiTouchBegin = 18;
constexpr std::size_t xiEventWindowOffset = 24;

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

std::uint8_t inputExtensionOpcode()
{
    const auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return 0;
    static constexpr char name[] = "XInputExtension";
    xcb_connection_t* connection = x11->connection();
    const Reply<xcb_query_extension_reply_t> reply(
        xcb_query_extension_reply(connection, xcb_query_extension(connection, sizeof name - 1, name), nullptr),
        &std::free);
    return reply && reply->present ? reply->major_opcode : 0;
}

// Asks the window manager, as a task bar would, to bring the window to the
// desktop that the player is looking at and to activate it. Qt's own
// activation waits for the window to be mapped, and a window manager that
// has unmapped it will not map it again by itself.
void summon(const QWindow* window)
{
    const auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection() || !window || !window->handle())
        return;
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window->winId());
    const auto intern = [connection](const char* name) {
        return xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    };
    const auto atom = [connection](xcb_intern_atom_cookie_t cookie) {
        const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    };
    const auto currentCookie = intern("_NET_CURRENT_DESKTOP");
    const auto desktopCookie = intern("_NET_WM_DESKTOP");
    const auto activeCookie = intern("_NET_ACTIVE_WINDOW");
    const auto geometryCookie = xcb_get_geometry(connection, id);
    const xcb_atom_t currentDesktop = atom(currentCookie), windowDesktop = atom(desktopCookie),
                     activeWindow = atom(activeCookie);
    const Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(connection, geometryCookie, nullptr),
                                                   &std::free);
    if (!geometry || activeWindow == XCB_ATOM_NONE)
        return;
    const xcb_window_t root = geometry->root;

    const auto cardinal = [connection](xcb_window_t of, xcb_atom_t property) -> std::optional<std::uint32_t> {
        const Reply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(connection, xcb_get_property(connection, 0, of, property, XCB_ATOM_CARDINAL, 0, 1),
                                   nullptr),
            &std::free);
        if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 4)
            return std::nullopt;
        return *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    };
    const auto ask = [&](xcb_atom_t type, std::uint32_t first, std::uint32_t second) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = id;
        message.type = type;
        message.data.data32[0] = first;
        message.data.data32[1] = second;
        xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
    };
    // The player's own action asks for it, as from a pager: source 2.
    constexpr std::uint32_t fromPager = 2;
    constexpr std::uint32_t allDesktops = 0xFFFFFFFF;
    if (currentDesktop != XCB_ATOM_NONE && windowDesktop != XCB_ATOM_NONE) {
        const auto current = cardinal(root, currentDesktop);
        const auto own = cardinal(id, windowDesktop);
        if (current && own && *own != *current && *own != allDesktops)
            ask(windowDesktop, *current, fromPager);
    }
    ask(activeWindow, fromPager, XCB_CURRENT_TIME);
    xcb_flush(connection);
}
#endif

// Watches, while any modal window is open, for the player turning to a
// window it blocks. Qt refuses input to such a window before any event of
// its own reaches it, so on X the watch is on the window system's events.
class Keeper final : public QObject, public QAbstractNativeEventFilter {
public:
    static Keeper& instance()
    {
        // One per application: it goes with the application, and a later
        // one gets a keeper of its own.
        static Keeper* keeper = nullptr;
        if (!keeper) {
            keeper = new Keeper(qApp);
            QObject::connect(keeper, &QObject::destroyed, [] { keeper = nullptr; });
        }
        return *keeper;
    }

    void open(QWidget* window)
    {
        if (open_.empty()) {
            qApp->installEventFilter(this);
            qApp->installNativeEventFilter(this);
        }
        open_.emplace_back(window);
    }

    void close(QWidget* window)
    {
        std::erase_if(open_, [window](const QPointer<QWidget>& w) { return !w || w == window; });
        if (open_.empty()) {
            qApp->removeNativeEventFilter(this);
            qApp->removeEventFilter(this);
        }
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::WindowActivate)
            if (auto* widget = qobject_cast<QWidget*>(object); widget && widget->isWindow())
                turnedTo(widget->windowHandle());
        return false;
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
#ifdef VARNEL_HAVE_XCB
        if (type == QByteArrayLiteral("xcb_generic_event_t"))
            if (const auto target = targetOf(static_cast<const xcb_generic_event_t*>(message)))
                turnedTo(windowWithId(*target));
#else
        (void)type;
        (void)message;
#endif
        return false;
    }

private:
    explicit Keeper(QObject* parent)
        : QObject(parent)
    {
#ifdef VARNEL_HAVE_XCB
        inputOpcode_ = inputExtensionOpcode();
#endif
    }

    QWidget* current() const
    {
        for (auto it = open_.rbegin(); it != open_.rend(); ++it)
            if (*it)
                return *it;
        return nullptr;
    }

    void turnedTo(const QWindow* window)
    {
        const QWidget* modal = current();
        if (!modal || !window)
            return;
        for (const QWindow* w = window; w; w = w->transientParent())
            if (w == modal->windowHandle())
                return;
        // Not from inside the window system's event: bringing the window
        // back is answered by more of them.
        if (std::exchange(queued_, true))
            return;
        QMetaObject::invokeMethod(
            this,
            [this] {
                queued_ = false;
                bringBack();
            },
            Qt::QueuedConnection);
    }

    void bringBack()
    {
        QWidget* modal = current();
        // A modal window that the program itself has hidden is closing.
        if (!modal || !modal->isVisible())
            return;
#ifdef VARNEL_HAVE_XCB
        if (!modal->windowHandle()->isExposed())
            summon(modal->windowHandle());
#endif
        if (modal->isMinimized())
            modal->setWindowState(modal->windowState() & ~Qt::WindowMinimized);
        modal->raise();
        modal->activateWindow();
    }

#ifdef VARNEL_HAVE_XCB
    // The window that the player turned to by this event, if it is one of
    // the events that mean so: the keyboard focus arriving, a button or key
    // pressed, a touch begun.
    std::optional<xcb_window_t> targetOf(const xcb_generic_event_t* event) const
    {
        switch (event->response_type & 0x7f) {
        case XCB_FOCUS_IN: {
            const auto* focus = reinterpret_cast<const xcb_focus_in_event_t*>(event);
            // The focus following the pointer across the root is no choice.
            if (focus->detail == XCB_NOTIFY_DETAIL_POINTER)
                return std::nullopt;
            return focus->event;
        }
        case XCB_BUTTON_PRESS:
            return reinterpret_cast<const xcb_button_press_event_t*>(event)->event;
        case XCB_KEY_PRESS:
            return reinterpret_cast<const xcb_key_press_event_t*>(event)->event;
        case XCB_GE_GENERIC: {
            const auto* generic = reinterpret_cast<const xcb_ge_generic_event_t*>(event);
            if (!inputOpcode_ || generic->extension != inputOpcode_ ||
                (generic->event_type != xiButtonPress && generic->event_type != xiKeyPress &&
                 generic->event_type != xiTouchBegin))
                return std::nullopt;
            xcb_window_t window = 0;
            std::memcpy(&window, reinterpret_cast<const char*>(event) + xiEventWindowOffset, sizeof window);
            return window;
        }
        default:
            return std::nullopt;
        }
    }

    static QWindow* windowWithId(xcb_window_t id)
    {
        for (QWindow* window : QGuiApplication::topLevelWindows())
            if (window->handle() && window->winId() == id)
                return window;
        return nullptr;
    }

    std::uint8_t inputOpcode_ = 0;
#endif

    std::vector<QPointer<QWidget>> open_;
    bool queued_ = false;
};

}  // namespace

ModalScope::ModalScope(QWidget* window)
    : window_(window)
{
    Keeper::instance().open(window_);
}

ModalScope::~ModalScope()
{
    Keeper::instance().close(window_);
}

}  // namespace forms::detail
