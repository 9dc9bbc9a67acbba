#pragma once

#include <string>

namespace forms::detail {

// What a Control needs from the thing on screen behind it: a widget, a menu
// item or a timer. The Control keeps the property values; a View only shows
// them.
class View {
public:
    virtual ~View() = default;
    virtual void showCaption(const std::string& caption) = 0;
    virtual void showVisible(bool visible) = 0;
    virtual void showEnabled(bool enabled) = 0;
    virtual void moveTo(int leftTwips, int topTwips) = 0;
};

}  // namespace forms::detail
