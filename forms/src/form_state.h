#pragma once

#include "forms/form.h"
#include "layout.h"
#include "widgets.h"

#include <QEventLoop>
#include <QMenuBar>
#include <QPointer>

#include <map>

namespace forms::detail {

// The top-level window of a loaded form: an optional menu bar over the
// client area, where the controls lie.
class FormWindow final : public QWidget {
public:
    explicit FormWindow(FormState& state);
    QWidget* client = nullptr;
    QMenuBar* menuBar = nullptr;
    // The control that last lost the focus by being disabled, until the
    // focus is handed on from it.
    QPointer<QWidget> focusLostBy;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    FormState& state_;
};

bool hasFocusInWindow(View* view);
void focusLost(View* view);

struct FormState {
    FormState(Form& owner, QString path)
        : form(owner),
          layoutPath(std::move(path))
    {}

    void checkHandlers(const StoredForm& stored) const;
    void build(const StoredForm& stored);
    void buildFrame(const StoredForm& stored);
    void buildMenu(const StoredForm& stored);
    void buildControls(const StoredForm& stored);
    void buildTabOrder(const StoredForm& stored);
    void sizeWindow(const StoredForm& stored);
    Control& attach(const QString& name, Kind kind, View* view, const QString& caption, bool visible, bool enabled);
    Control& control(std::string_view name);
    void focusFirst();
    void handOnFocus();
    void unload();
    void reap();
    ButtonWidget* buttonWhere(bool (ButtonWidget::*test)() const) const;

    static View* viewOf(const Control& control) { return control.view_; }
    static FormState& of(Form& form) { return *form.state_; }

    Form& form;
    QString layoutPath;
    std::map<std::string, std::function<void()>, std::less<>> handlers;
    std::map<std::string, std::unique_ptr<Control>, std::less<>> controls;
    QStringList tabOrder;
    QPointer<FormWindow> window;
    QEventLoop* modalLoop = nullptr;
    bool loaded = false;
};

}  // namespace forms::detail
