#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace forms {

class Runtime;

namespace detail {
class View;
struct FormState;
}  // namespace detail

// A control of a loaded form, reached by name. Reading a property back gives
// exactly what was last set (Visible is the control's own flag, whether or not
// its window is on screen). Left and Top are whole twips from the top-left
// corner of the form's client area. A property set on a control whose form is
// not loaded fails with CallFailedError.
class Control {
public:
    Control(std::string name, std::string kind);
    ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    const std::string& kind() const { return kind_; }

    const std::string& caption() const { return caption_; }
    bool visible() const { return visible_; }
    bool enabled() const { return enabled_; }
    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }

    void setCaption(std::string caption);
    void setVisible(bool visible);
    void setEnabled(bool enabled);
    void setLeft(int twips);
    void setTop(int twips);

    // Takes clicks: enabled and visible.
    bool clickable() const { return enabled_ && visible_; }

private:
    friend struct detail::FormState;
    void require(std::string_view property) const;

    std::string name_;
    std::string kind_;
    std::string caption_;
    bool visible_ = true;
    bool enabled_ = true;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    detail::View* view_ = nullptr;  // the widget while the form is loaded
};

// A window built from a stored layout. A subclass names the layout
// ("table/play"), binds its handlers by their names ("deal_Click",
// "Timer1_Timer", "Form_Load") and works on its controls by name. Loading
// fails with LayoutError when a bound name is no event of the layout's form:
// Load for the form, Timer for a timer, Click for any other control that
// takes clicks.
class Form {
public:
    Form(Runtime& runtime, std::string_view layout);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    Runtime& runtime() { return runtime_; }

    // Builds the window and its controls from the layout and runs Form_Load
    // to its end. Does nothing when already loaded.
    void load();
    bool loaded() const;
    // Loads if needed and shows the window.
    void show();
    // Loads if needed, shows the window modally and returns once it is
    // unloaded or closed; meanwhile no other window takes input.
    void showModal();
    // Closes the window and destroys its widgets; the form object stays and
    // the next show loads it afresh.
    void unload();

    Control& control(std::string_view name);

    // What a user's click on the control does: its Click handler runs, through
    // the runtime's dispatch, if the control is enabled and visible.
    void click(std::string_view name);
    // One tick of the named timer, as the event loop delivers it.
    void tick(std::string_view timer);

protected:
    // Binds a handler to "control_Event"; "Form_Load" is the form's own Load.
    void on(std::string_view handler, std::function<void()> body);

    template <class F>
    void on(std::string_view handler, void (F::*member)())
    {
        on(handler, [this, member] { (static_cast<F*>(this)->*member)(); });
    }

private:
    friend struct detail::FormState;
    void runHandler(const std::string& handler);

    Runtime& runtime_;
    std::unique_ptr<detail::FormState> state_;
};

}  // namespace forms
