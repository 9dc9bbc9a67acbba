#include "forms/testing.h"

#include "form_state.h"
#include "widgets.h"

#include <QFontMetrics>

namespace forms::testing {
namespace {

detail::FormWindow* formWindow(Form& form)
{
    return detail::FormState::of(form).window.data();
}

template <class T>
T* find(Form& form, std::string_view name)
{
    if (!form.loaded())
        return nullptr;
    return dynamic_cast<T*>(detail::FormState::viewOf(form.control(name)));
}

}  // namespace

QWidget* window(Form& form)
{
    return formWindow(form);
}

QWidget* client(Form& form)
{
    detail::FormWindow* w = formWindow(form);
    return w ? w->client : nullptr;
}

QMenuBar* menuBar(Form& form)
{
    detail::FormWindow* w = formWindow(form);
    return w ? w->menuBar : nullptr;
}

QWidget* widget(Form& form, std::string_view control)
{
    return find<QWidget>(form, control);
}

QAction* menuItem(Form& form, std::string_view control)
{
    return find<QAction>(form, control);
}

QTimer* timer(Form& form, std::string_view control)
{
    return find<QTimer>(form, control);
}

QStringList labelLines(Form& form, std::string_view label)
{
    const auto* shown = find<detail::LabelWidget>(form, label);
    if (!shown)
        return {};
    return detail::wrapLines(QString::fromStdString(form.control(label).caption()), QFontMetrics(shown->font()),
                             shown->width());
}

}  // namespace forms::testing
