#pragma once

// Access to the Qt objects behind a form, for tests that drive real widgets.
// Only the test suite links this; game code never includes it.

#include "forms/form.h"

#include <QAction>
#include <QMenuBar>
#include <QTimer>
#include <QWidget>

#include <string_view>

namespace forms::testing {

QWidget* window(Form& form);
QWidget* client(Form& form);
QMenuBar* menuBar(Form& form);
QWidget* widget(Form& form, std::string_view control);
QAction* menuItem(Form& form, std::string_view control);
QTimer* timer(Form& form, std::string_view control);

}  // namespace forms::testing
