#pragma once

// Access to the Qt objects behind a form, for tests that drive real widgets.
// Only the test suite links this; game code never includes it.

#include "forms/form.h"

#include <QAction>
#include <QMenuBar>
#include <QStringList>
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

// The lines a label breaks its caption into at its present font and width.
QStringList labelLines(Form& form, std::string_view label);

}  // namespace forms::testing
