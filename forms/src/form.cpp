#include "form_state.h"

#include "forms/runtime.h"
#include "modal.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPixmapCache>
#include <QResizeEvent>
#include <QVBoxLayout>

#include <optional>

namespace forms {

using detail::FormState;
using detail::Kind;

Control::Control(std::string name, std::string kind)
    : name_(std::move(name)),
      kind_(std::move(kind))
{}
Control::~Control() = default;

void Control::require(std::string_view property) const
{
    if (!view_)
        throw CallFailedError(name_ + "." + std::string(property) + " cannot be set: its form is not loaded");
}

void Control::setCaption(std::string caption)
{
    require("Caption");
    caption_ = std::move(caption);
    view_->showCaption(caption_);
}

void Control::setVisible(bool visible)
{
    require("Visible");
    visible_ = visible;
    const bool hadFocus = !visible && detail::hasFocusInWindow(view_);
    view_->showVisible(visible);
    if (hadFocus)
        detail::focusLost(view_);
}

void Control::setEnabled(bool enabled)
{
    require("Enabled");
    enabled_ = enabled;
    const bool hadFocus = !enabled && detail::hasFocusInWindow(view_);
    view_->showEnabled(enabled);
    if (hadFocus)
        detail::focusLost(view_);
}

void Control::setLeft(int twips)
{
    require("Left");
    left_ = twips;
    view_->moveTo(left_, top_);
}

void Control::setTop(int twips)
{
    require("Top");
    top_ = twips;
    view_->moveTo(left_, top_);
}

namespace detail {

// Whether the widget behind a control is its window's focus widget, the one
// that has the keyboard focus whenever the window is active.
bool hasFocusInWindow(View* view)
{
    auto* widget = dynamic_cast<QWidget*>(view);
    return widget && widget->window()->focusWidget() == widget;
}

// Notes where the focus was lost, for FormState::handOnFocus.
void focusLost(View* view)
{
    auto* widget = dynamic_cast<QWidget*>(view);
    if (auto* window = widget ? dynamic_cast<FormWindow*>(widget->window()) : nullptr)
        window->focusLostBy = widget;
}

FormWindow::FormWindow(FormState& state)
    : state_(state)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    client = new QWidget(this);
    layout->addWidget(client);
}

void FormWindow::keyPressEvent(QKeyEvent* event)
{
    // Enter presses the button that has the focus, or else the form's
    // default button; Escape presses the cancel button, wherever the focus
    // is. (The default button, when focused, takes Enter itself.)
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool escape = event->key() == Qt::Key_Escape;
    if (enter || escape) {
        auto* focused = enter ? dynamic_cast<ButtonWidget*>(focusWidget()) : nullptr;
        if (ButtonWidget* button =
                focused ? focused : state_.buttonWhere(enter ? &ButtonWidget::isDefault : &ButtonWidget::isCancel)) {
            if (button->isEnabled() && button->isVisible())
                button->click();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void FormWindow::resizeEvent(QResizeEvent* event)
{
    // A window manager keeps a window to its size hints; without one, any
    // client's request resizes it. Take it back to the most it can show.
    const QSize bounded = event->size().boundedTo(maximumSize());
    if (bounded != event->size())
        resize(bounded);
    QWidget::resizeEvent(event);
}

void FormWindow::closeEvent(QCloseEvent* event)
{
    // The frame's close box unloads the form, as Unload does.
    event->accept();
    state_.unload();
}

ButtonWidget* FormState::buttonWhere(bool (ButtonWidget::*test)() const) const
{
    for (const auto& [name, c] : controls)
        if (auto* button = dynamic_cast<ButtonWidget*>(c->view_); button && (button->*test)())
            return button;
    return nullptr;
}

Control& FormState::control(std::string_view name)
{
    const auto it = controls.find(name);
    if (it == controls.end())
        throw CallFailedError("form has no control named '" + std::string(name) + "'");
    return *it->second;
}

namespace {

QPixmap loadPicture(const StoredControl& stored, const QString& layoutPath)
{
    // One picture serves every control that shows it (twenty coins share a
    // bitmap), read once and shared by Qt's pixmap cache.
    QPixmap picture;
    if (!QPixmapCache::find(stored.picture, &picture)) {
        picture = QPixmap(stored.picture);
        if (!picture.isNull())
            QPixmapCache::insert(stored.picture, picture);
    }
    if (picture.isNull())
        throw LayoutError(QStringLiteral("%1, control '%2': cannot read picture %3")
                              .arg(layoutPath, stored.name, stored.picture)
                              .toStdString());
    // A picture control is exactly its picture's size (plus its border):
    // nothing is stretched, so a box that disagrees is a fault of the layout.
    const int edge = stored.border ? 2 * PictureWidget::borderPixels : 0;
    const QSize box(pixels(stored.width), pixels(stored.height));
    if (box != picture.size() + QSize(edge, edge))
        throw LayoutError(QStringLiteral("%1, control '%2': box of %3x%4 pixels does not fit its %5x%6 picture")
                              .arg(layoutPath, stored.name)
                              .arg(box.width())
                              .arg(box.height())
                              .arg(picture.width())
                              .arg(picture.height())
                              .toStdString());
    return picture;
}

View* makeView(const StoredControl& stored, FormWindow& window, const StoredForm& form, Form& owner)
{
    const std::string name = stored.name.toStdString();
    // Every widget takes its font, and passes its clicks to the form, which
    // decides whether the control takes them.
    const auto finish = [&](auto* widget) -> View* {
        using Widget = std::remove_pointer_t<decltype(widget)>;
        if constexpr (std::is_base_of_v<ClickableWidget, Widget>)
            widget->clicked = [&owner, name] { owner.click(name); };
        if constexpr (std::is_base_of_v<QPushButton, Widget>)
            QObject::connect(widget, &QPushButton::clicked, widget, [&owner, name] { owner.click(name); });
        widget->setFont(makeFont(stored.font, form.font));
        return widget;
    };
    QWidget* client = window.client;
    switch (stored.kind) {
    case Kind::image:
        return finish(new PictureWidget(client, stored, loadPicture(stored, form.path)));
    case Kind::pictureBox: {
        auto* box = new PictureWidget(client, stored, loadPicture(stored, form.path));
        box->setFocusPolicy(Qt::TabFocus);
        return finish(box);
    }
    case Kind::label:
        return finish(new LabelWidget(client, stored));
    case Kind::frame:
        return finish(new FrameWidget(client, stored));
    case Kind::shape:
        return finish(new ShapeWidget(client, stored));
    case Kind::line:
        return finish(new LineWidget(client, stored));
    case Kind::button:
        return finish(new ButtonWidget(client, stored));
    case Kind::timer: {
        auto* timer = new TimerControl(&window, stored);
        QObject::connect(timer, &QTimer::timeout, timer, [&owner, name] { owner.tick(name); });
        return timer;
    }
    case Kind::menuItem:
        break;
    }
    throw LayoutError(name + ": " + kindName(stored.kind).toStdString() + " is no control of the client area");
}

// The one event that a control of each kind raises, if any: shapes and lines
// take no clicks.
std::optional<std::string> eventOf(Kind kind)
{
    switch (kind) {
    case Kind::timer:
        return "Timer";
    case Kind::shape:
    case Kind::line:
        return std::nullopt;
    case Kind::image:
    case Kind::pictureBox:
    case Kind::label:
    case Kind::frame:
    case Kind::button:
    case Kind::menuItem:
        break;
    }
    return "Click";
}

}  // namespace

// A handler is bound by name, and a name that no event carries would never
// run: every one must be "Form_Load" or a control's name and its event.
void FormState::checkHandlers(const StoredForm& stored) const
{
    std::map<std::string, Kind, std::less<>> kinds;
    for (const StoredMenuItem& item : stored.menu)
        kinds.emplace(item.name.toStdString(), Kind::menuItem);
    for (const StoredControl& c : stored.controls)
        kinds.emplace(c.name.toStdString(), c.kind);
    for (const auto& [handler, body] : handlers) {
        const std::size_t cut = handler.rfind('_');
        const std::string owner = cut == std::string::npos ? std::string() : handler.substr(0, cut);
        const auto control = kinds.find(owner);
        const bool known = owner == "Form" || control != kinds.end();
        const std::optional<std::string> event = owner == "Form" ? "Load"
                                                 : known         ? eventOf(control->second)
                                                                 : std::nullopt;
        if (event && handler == owner + "_" + *event)
            continue;
        std::string expected;
        if (event)
            expected = "'" + owner + "_" + *event + "'";
        else if (known)
            expected =
                "none, as '" + owner + "' is a " + kindName(control->second).toStdString() + " and raises no events";
        else if (owner.empty())
            expected = "a control's name, '_' and its event";
        else
            expected = "a control named '" + owner + "'";
        throw LayoutError(layoutPath.toStdString() + ": handler '" + handler + "' is bound to no event; expected " +
                          expected);
    }
}

void FormState::build(const StoredForm& stored)
{
    buildFrame(stored);
    buildMenu(stored);
    buildControls(stored);
    buildTabOrder(stored);
    sizeWindow(stored);
}

void FormState::buildFrame(const StoredForm& stored)
{
    auto* w = new FormWindow(*this);
    window = w;
    w->setWindowTitle(stored.caption);
    if (!stored.icon.isEmpty())
        w->setWindowIcon(QIcon(QPixmap(stored.icon)));
    // Only the client area takes the form's colour: the menu bar keeps the
    // system's, so that its text stays readable. A form without a colour of
    // its own takes the button face, the same default as its labels and
    // frames, so that they do not stand out as boxes on it.
    QPalette palette = w->client->palette();
    palette.setColor(QPalette::Window, resolve(stored.backColor, QPalette::Button));
    w->client->setPalette(palette);
    w->client->setAutoFillBackground(true);
    if (stored.fixedSize) {
        // A fixed dialog frame: a title and a close box, nothing to minimise,
        // maximise or resize with.
        w->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    }
}

void FormState::buildMenu(const StoredForm& stored)
{
    if (stored.menu.empty())
        return;
    FormWindow* w = window;
    w->menuBar = new QMenuBar(w);
    w->layout()->setMenuBar(w->menuBar);
    for (const StoredMenuItem& item : stored.menu) {
        auto* action = new MenuItem(w->menuBar, item);
        QObject::connect(action, &QAction::triggered, action,
                         [this, name = item.name.toStdString()] { form.click(name); });
        w->menuBar->addAction(action);
        attach(item.name, Kind::menuItem, action, item.caption, true, true);
    }
}

void FormState::buildControls(const StoredForm& stored)
{
    for (const StoredControl& cs : stored.controls) {
        Control& c = attach(cs.name, cs.kind, makeView(cs, *window, stored, form), cs.caption, cs.visible, cs.enabled);
        c.left_ = cs.left;
        c.top_ = cs.top;
        c.width_ = cs.width;
        c.height_ = cs.height;
    }
}

// The one set-up step of every control, menu items included: the Control
// (kept across loads, so that references to it stay good) takes its new view
// and the values the layout stores, and the view shows them.
Control& FormState::attach(const QString& name, Kind kind, View* view, const QString& caption, bool visible,
                           bool enabled)
{
    auto& c = controls[name.toStdString()];
    if (!c)
        c = std::make_unique<Control>(name.toStdString(), kindName(kind).toStdString());
    c->view_ = view;
    c->caption_ = caption.toStdString();
    c->visible_ = visible;
    c->enabled_ = enabled;
    view->showVisible(visible);
    view->showEnabled(enabled);
    return *c;
}

void FormState::buildTabOrder(const StoredForm& stored)
{
    tabOrder = stored.tabOrder;
    QWidget* previous = nullptr;
    for (const QString& name : stored.tabOrder) {
        auto* widget = dynamic_cast<QWidget*>(controls.find(name.toStdString())->second->view_);
        if (!widget || widget->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void FormState::sizeWindow(const StoredForm& stored)
{
    FormWindow* w = window;
    // The window opens large enough to show every control, even where the
    // stored client size is smaller; nothing is scaled to fit.
    int right = stored.clientWidth, bottom = stored.clientHeight;
    for (const StoredControl& cs : stored.controls) {
        if (cs.kind != Kind::timer) {
            right = std::max(right, cs.left + cs.width);
            bottom = std::max(bottom, cs.top + cs.height);
        }
    }
    const QSize client(pixels(right), pixels(bottom));
    const int menuHeight = w->menuBar ? w->menuBar->sizeHint().height() : 0;
    const QSize size(client.width(), client.height() + menuHeight);
    if (stored.fixedSize)
        w->setFixedSize(size);
    else
        w->resize(size);
    // Nothing lies beyond the controls: a larger window shows no more, it only
    // costs the memory of its backing store.
    w->setMaximumSize(size);
    if (stored.screenLeft && stored.screenTop)
        w->setGeometry(QRect(QPoint(pixels(*stored.screenLeft), pixels(*stored.screenTop)), size));
}

void FormState::focusFirst()
{
    for (const QString& name : tabOrder) {
        auto* widget = dynamic_cast<QWidget*>(controls.find(name.toStdString())->second->view_);
        if (widget && widget->focusPolicy() != Qt::NoFocus && widget->isEnabled() && widget->isVisibleTo(window)) {
            widget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

namespace {

bool canTakeFocus(const QWidget* widget, const QWidget* window)
{
    return widget && widget->focusPolicy() != Qt::NoFocus && widget->isEnabled() && widget->isVisibleTo(window);
}

}  // namespace

// A control disabled or hidden while it has the focus hands it on to the
// next control in the tab order that can take it. Qt hands it on at once,
// but only to a control that can take it at that moment (and, for a hidden
// one, only in the active window): this runs once the handler is done, so
// that a control that the handler shows or enables afterwards counts too.
void FormState::handOnFocus()
{
    FormWindow* const w = window.data();
    if (!loaded || !w)
        return;
    const QWidget* const from = std::exchange(w->focusLostBy, nullptr).data();
    if (!from || canTakeFocus(w->focusWidget(), w))
        return;
    const auto widgetAt = [this](qsizetype i) {
        return dynamic_cast<QWidget*>(controls.find(tabOrder[i].toStdString())->second->view_);
    };
    const qsizetype count = tabOrder.size();
    // From the end when the control is not in the tab order at all.
    qsizetype at = count - 1;
    for (qsizetype i = 0; i < count; ++i)
        if (widgetAt(i) == from)
            at = i;
    for (qsizetype step = 1; step <= count; ++step)
        if (QWidget* next = widgetAt((at + step) % count); canTakeFocus(next, w)) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
}

void FormState::unload()
{
    if (!loaded)
        return;
    loaded = false;
    for (auto& [name, c] : controls)
        c->view_ = nullptr;
    if (window) {
        for (QTimer* timer : window->findChildren<QTimer*>())
            timer->stop();
        window->hide();
        // A handler of one of its own widgets may be what unloads the form,
        // so the widgets are destroyed once control is back in the event loop.
        window->deleteLater();
    }
    if (modalLoop)
        modalLoop->quit();
}

void FormState::reap()
{
    delete window.data();
}

}  // namespace detail

// The layouts are built into the program as resources, one JSON file each.
Form::Form(Runtime& runtime, std::string_view layout)
    : runtime_(runtime),
      state_(std::make_unique<FormState>(
          *this, QStringLiteral(":/%1.json").arg(QString::fromUtf8(layout.data(), qsizetype(layout.size())))))
{}

Form::~Form()
{
    state_->unload();
    state_->reap();
}

bool Form::loaded() const
{
    return state_->loaded;
}

void Form::on(std::string_view handler, std::function<void()> body)
{
    state_->handlers[std::string(handler)] = std::move(body);
}

void Form::load()
{
    if (state_->loaded)
        return;
    runtime_.dispatch([this] {
        const detail::StoredForm stored = detail::readLayout(state_->layoutPath);
        state_->checkHandlers(stored);
        state_->build(stored);
        state_->loaded = true;
    });
    if (state_->loaded)
        runHandler("Form_Load");
}

void Form::show()
{
    load();
    if (!state_->loaded || runtime_.ended())
        return;
    state_->window->show();
    state_->focusFirst();
}

void Form::showModal()
{
    load();
    if (!state_->loaded || runtime_.ended())
        return;
    detail::FormWindow* w = state_->window;
    w->setWindowModality(Qt::ApplicationModal);
    w->show();
    state_->focusFirst();
    QEventLoop loop;
    state_->modalLoop = &loop;
    {
        const detail::ModalScope keep(w);
        loop.exec(QEventLoop::DialogExec);
    }
    state_->modalLoop = nullptr;
    state_->unload();
    state_->reap();
}

void Form::unload()
{
    state_->unload();
}

Control& Form::control(std::string_view name)
{
    if (!state_->loaded)
        throw CallFailedError("control '" + std::string(name) + "' is not there: its form is not loaded");
    return state_->control(name);
}

void Form::click(std::string_view name)
{
    if (!state_->loaded)
        return;
    const auto it = state_->controls.find(name);
    if (it != state_->controls.end() && it->second->clickable())
        runHandler(std::string(name) + "_Click");
}

void Form::tick(std::string_view timer)
{
    if (!state_->loaded)
        return;
    const auto it = state_->controls.find(timer);
    if (it != state_->controls.end() && it->second->enabled())
        runHandler(std::string(timer) + "_Timer");
}

void Form::runHandler(const std::string& handler)
{
    const auto it = state_->handlers.find(handler);
    if (it != state_->handlers.end()) {
        runtime_.dispatch(it->second);
        state_->handOnFocus();
    }
}

}  // namespace forms
