#include "xserver.h"

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <poll.h>
#include <sys/prctl.h>

#include <csignal>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace e2e {
namespace {

template <class T>
struct FreeDeleter {
    void operator()(T* p) const { std::free(p); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeDeleter<T>>;

int millisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 60'000));
}

}  // namespace

QProcessEnvironment environmentOn(const QString& display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    // The test suite runs on the offscreen platform; these programs must not.
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    // No session bus goes with this private screen. Without an address the
    // platform's D-Bus client would try to launch one for it: a daemon left
    // behind where dbus-launch is installed, a leak in libdbus where not.
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       QStringLiteral("unix:path=/nonexistent/varnel-e2e-bus"));
    return environment;
}

void dieWithParent(QProcess& process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

VirtualScreen::VirtualScreen(QSize size, milliseconds timeout)
    : VirtualScreen(
          [size] {
              ScreenSetup setup;
              setup.size = size;
              return setup;
          }(),
          timeout)
{}

VirtualScreen::VirtualScreen(const ScreenSetup& setup, milliseconds timeout)
{
    dieWithParent(xvfb_);
    // With -displayfd the server takes the first display number whose
    // sockets it can bind (a number in use has them bound) and writes it to
    // us once it accepts connections: no guessing and no race with other
    // servers. Given a number, it takes that one or ends.
    xvfb_.setStandardErrorFile(QProcess::nullDevice());
    QStringList arguments;
    if (setup.number)
        arguments << QStringLiteral(":%1").arg(*setup.number);
    arguments << QStringLiteral("-displayfd") << QStringLiteral("1") << QStringLiteral("-screen") << QStringLiteral("0")
              << QStringLiteral("%1x%2x%3").arg(setup.size.width()).arg(setup.size.height()).arg(setup.depth)
              << QStringLiteral("-noreset") << QStringLiteral("-br");
    if (setup.tcpOnly)
        arguments << QStringLiteral("-nolisten") << QStringLiteral("unix") << QStringLiteral("-nolisten")
                  << QStringLiteral("local") << QStringLiteral("-listen") << QStringLiteral("tcp");
    else
        arguments << QStringLiteral("-nolisten") << QStringLiteral("tcp");
    xvfb_.start(QStringLiteral("Xvfb"), arguments);
    const auto deadline = Clock::now() + timeout;
    if (!xvfb_.waitForStarted(millisecondsUntil(deadline)))
        throw XError("cannot start Xvfb: " + xvfb_.errorString().toStdString());
    QByteArray answer;
    while (!answer.contains('\n')) {
        if (xvfb_.state() != QProcess::Running || !xvfb_.waitForReadyRead(millisecondsUntil(deadline))) {
            xvfb_.kill();
            xvfb_.waitForFinished(5000);
            throw XError("Xvfb gave no display number in time");
        }
        answer += xvfb_.readAllStandardOutput();
    }
    display_ = QLatin1Char(':') + QString::fromLatin1(answer.trimmed());
}

void VirtualScreen::crash()
{
    xvfb_.kill();
    xvfb_.waitForFinished(5000);
}

VirtualScreen::~VirtualScreen()
{
    xvfb_.terminate();
    if (!xvfb_.waitForFinished(5000)) {
        xvfb_.kill();
        xvfb_.waitForFinished(5000);
    }
}

XClient::XClient(const QString& display)
{
    connection_ = xcb_connect(display.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(connection_))
        throw XError("cannot connect to X display " + display.toStdString());
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
    root_ = screen->root;
    lsbFirst_ = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it))
        if (it.data->depth == screen->root_depth)
            bitsPerPixel_ = it.data->bits_per_pixel;
    for (auto depth = xcb_screen_allowed_depths_iterator(screen); depth.rem; xcb_depth_next(&depth))
        for (auto visual = xcb_depth_visuals_iterator(depth.data); visual.rem; xcb_visualtype_next(&visual))
            if (visual.data->visual_id == screen->root_visual && visual.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR) {
                channelMasks_[0] = visual.data->red_mask;
                channelMasks_[1] = visual.data->green_mask;
                channelMasks_[2] = visual.data->blue_mask;
            }
    if (!channelMasks_[0] || (bitsPerPixel_ != 16 && bitsPerPixel_ != 24 && bitsPerPixel_ != 32))
        throw XError("the screen is not a true-colour screen of 15 to 24 bits");

    // Every top-level window's map, unmap and destruction reaches us.
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);

    // Drawing in any window is damage to the root window, which covers them
    // all: one report for whatever changes on screen.
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(connection_, &xcb_damage_id);
    if (!damage || !damage->present)
        throw XError("the X server has no DAMAGE extension");
    damageEvent_ = damage->first_event;
    Reply<xcb_damage_query_version_reply_t> version(
        xcb_damage_query_version_reply(connection_, xcb_damage_query_version(connection_, 1, 1), nullptr));
    damage_ = xcb_generate_id(connection_);
    xcb_damage_create(connection_, damage_, root_, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
    xcb_flush(connection_);
    check();
}

XClient::~XClient()
{
    xcb_disconnect(connection_);
}

void XClient::check() const
{
    if (xcb_connection_has_error(connection_))
        throw XError("the connection to the X server broke");
}

std::uint32_t XClient::atom(const char* name)
{
    const auto found = atoms_.find(name);
    if (found != atoms_.end())
        return found->second;
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    if (!reply)
        throw XError(std::string("cannot intern atom ") + name);
    return atoms_[name] = reply->atom;
}

void XClient::handle(void* raw)
{
    const auto* event = static_cast<xcb_generic_event_t*>(raw);
    const int type = event->response_type & 0x7f;
    if (type == XCB_MAP_NOTIFY) {
        const auto* map = static_cast<const xcb_map_notify_event_t*>(raw);
        // Menus and tooltips (override-redirect) are not windows of their own.
        if (!map->override_redirect)
            mapped_.push_back({map->window, Clock::now()});
    } else if (type == XCB_UNMAP_NOTIFY || type == XCB_DESTROY_NOTIFY) {
        const WindowId window = type == XCB_UNMAP_NOTIFY ? static_cast<const xcb_unmap_notify_event_t*>(raw)->window
                                                         : static_cast<const xcb_destroy_notify_event_t*>(raw)->window;
        for (Mapping& mapping : mapped_)
            if (mapping.window == window)
                mapping.gone = true;
    } else if (type == damageEvent_ + XCB_DAMAGE_NOTIFY) {
        drawn_ = true;
    }
    // Errors (a window that went before we asked for its title) and every
    // other event are of no interest.
}

bool XClient::pump(Clock::time_point deadline)
{
    xcb_flush(connection_);
    bool any = false;
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            handle(event);
            std::free(event);
            any = true;
        }
        check();
        if (any)
            return true;
        pollfd fd{xcb_get_file_descriptor(connection_), POLLIN, 0};
        const int left = millisecondsUntil(deadline);
        if (left == 0 || ::poll(&fd, 1, left) == 0)
            return false;
    }
}

std::optional<WindowId> XClient::nextMapped(const QString& title, std::int64_t pid, Clock::time_point deadline)
{
    for (;;) {
        for (Mapping& mapping : mapped_) {
            if (mapping.handedOut || mapping.gone)
                continue;
            if (this->pid(mapping.window) == pid && this->title(mapping.window) == title) {
                mapping.handedOut = true;
                return mapping.window;
            }
        }
        if (!pump(deadline))
            return std::nullopt;
    }
}

const XClient::Mapping& XClient::latest(WindowId window) const
{
    const auto found =
        std::find_if(mapped_.rbegin(), mapped_.rend(), [&](const Mapping& m) { return m.window == window; });
    if (found == mapped_.rend())
        throw XError("the window was never mapped");
    return *found;
}

Clock::time_point XClient::mappedAt(WindowId window) const
{
    return latest(window).at;
}

bool XClient::waitUntilGone(WindowId window, Clock::time_point deadline)
{
    while (!latest(window).gone)
        if (!pump(deadline))
            return false;
    return true;
}

QString XClient::title(WindowId window)
{
    const auto read = [&](std::uint32_t property, std::uint32_t type) -> std::optional<QByteArray> {
        Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, window, property, type, 0, 1024), nullptr));
        if (!reply || reply->format != 8 || reply->type != type)
            return std::nullopt;
        return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                          xcb_get_property_value_length(reply.get()));
    };
    if (const auto utf8 = read(atom("_NET_WM_NAME"), atom("UTF8_STRING")))
        return QString::fromUtf8(*utf8);
    if (const auto latin1 = read(XCB_ATOM_WM_NAME, XCB_ATOM_STRING))
        return QString::fromLatin1(*latin1);
    return {};
}

std::optional<std::int64_t> XClient::pid(WindowId window)
{
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 0, 1), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 4)
        return std::nullopt;
    return *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
}

QRect XClient::geometry(WindowId window)
{
    Reply<xcb_get_geometry_reply_t> size(
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr));
    Reply<xcb_translate_coordinates_reply_t> place(xcb_translate_coordinates_reply(
        connection_, xcb_translate_coordinates(connection_, window, root_, 0, 0), nullptr));
    if (!size || !place)
        throw XError("the window is gone");
    return {place->dst_x, place->dst_y, size->width, size->height};
}

QRect XClient::screenRect() const
{
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    return {0, 0, screen->width_in_pixels, screen->height_in_pixels};
}

QImage XClient::grab(const QRect& wanted)
{
    const QRect area = wanted & screenRect();
    QImage image(wanted.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    if (area.isEmpty())
        return image;
    Reply<xcb_get_image_reply_t> reply(xcb_get_image_reply(
        connection_,
        xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, static_cast<std::int16_t>(area.x()),
                      static_cast<std::int16_t>(area.y()), static_cast<std::uint16_t>(area.width()),
                      static_cast<std::uint16_t>(area.height()), ~0u),
        nullptr));
    if (!reply)
        throw XError("cannot read the screen");
    const std::uint8_t* data = xcb_get_image_data(reply.get());
    const int bytesPerPixel = bitsPerPixel_ / 8;
    const int stride = xcb_get_image_data_length(reply.get()) / area.height();
    const QPoint offset = area.topLeft() - wanted.topLeft();
    // Each channel as the visual's masks place it in a pixel, widened to
    // eight bits.
    const auto channel = [](std::uint32_t pixel, std::uint32_t mask) {
        const std::uint32_t value = (pixel & mask) >> std::countr_zero(mask);
        return static_cast<int>(value * 255 / (mask >> std::countr_zero(mask)));
    };
    for (int y = 0; y < area.height(); ++y) {
        const std::uint8_t* row = data + y * stride;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y + offset.y())) + offset.x();
        for (int x = 0; x < area.width(); ++x) {
            const std::uint8_t* p = row + x * bytesPerPixel;
            std::uint32_t pixel = 0;
            for (int i = 0; i < bytesPerPixel; ++i)
                pixel |= std::uint32_t{p[i]} << (8 * (lsbFirst_ ? i : bytesPerPixel - 1 - i));
            out[x] = qRgb(channel(pixel, channelMasks_[0]), channel(pixel, channelMasks_[1]),
                          channel(pixel, channelMasks_[2]));
        }
    }
    return image;
}

bool XClient::waitUntil(const std::function<bool()>& holds, Clock::time_point deadline)
{
    while (!holds())
        if (!pump(deadline))
            return holds();
    return true;
}

bool XClient::lookUntil(const std::function<bool()>& settled, Clock::time_point deadline)
{
    for (;;) {
        // Clear the damage first: whatever is drawn from here on, after the
        // look below has started, brings another report and another look.
        drawn_ = false;
        xcb_damage_subtract(connection_, damage_, XCB_NONE, XCB_NONE);
        xcb_flush(connection_);
        if (settled())
            return true;
        while (!drawn_)
            if (!pump(deadline))
                return settled();
    }
}

bool XClient::askToClose(WindowId window)
{
    const std::uint32_t protocols = atom("WM_PROTOCOLS");
    const std::uint32_t deleteWindow = atom("WM_DELETE_WINDOW");
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, protocols, XCB_ATOM_ATOM, 0, 64), nullptr));
    if (!reply || reply->format != 32)
        return false;
    const auto* listed = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    if (std::find(listed, listed + count, deleteWindow) == listed + count)
        return false;

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = protocols;
    message.data.data32[0] = deleteWindow;
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection_, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    xcb_flush(connection_);
    check();
    return true;
}

}  // namespace e2e
