#pragma once

#include "layout.h"
#include "view.h"

#include <QAction>
#include <QPixmap>
#include <QPushButton>
#include <QStaticText>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

// The widgets behind the controls. They draw themselves from their stored
// look and never grey out a picture: a disabled coin looks like any other.
namespace forms::detail {

// Glue from a Control's properties to a QWidget.
template <class Widget>
class Viewed : public Widget, public View {
public:
    using Widget::Widget;
    void showCaption(const std::string&) override {}
    void showVisible(bool visible) override { Widget::setVisible(visible); }
    void showEnabled(bool enabled) override { Widget::setEnabled(enabled); }
    void moveTo(int leftTwips, int topTwips) override { Widget::move(pixels(leftTwips), pixels(topTwips)); }
};

// A control that takes clicks: a press and a release of the left button
// inside it.
class ClickableWidget : public Viewed<QWidget> {
public:
    explicit ClickableWidget(QWidget* parent)
        : Viewed<QWidget>(parent)
    {}
    std::function<void()> clicked;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

class LabelWidget final : public ClickableWidget {
public:
    LabelWidget(QWidget* parent, const StoredControl& stored);
    void showCaption(const std::string& caption) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QString text_;
    QColor fore_, back_;
    bool opaque_;
    Qt::Alignment alignment_;
    // Laid out and shaped once per caption, font and width: lights blinking
    // over a label repaint it many times a second.
    std::vector<QStaticText> lines_;
    bool linesValid_ = false;
};

class PictureWidget final : public ClickableWidget {
public:
    PictureWidget(QWidget* parent, const StoredControl& stored, QPixmap picture);
    static constexpr int borderPixels = 2;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    bool border_;
};

// A shape is drawn on its form rather than being a window of its own:
// hiding and showing it only repaints its box, which costs the window system
// nothing, and it takes no clicks either way.
class ShapeWidget final : public Viewed<QWidget> {
public:
    ShapeWidget(QWidget* parent, const StoredControl& stored);
    void showVisible(bool visible) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool circle_, opaque_;
    QColor fill_, outline_;
    bool drawn_ = true;
    // A circle is drawn once per size and scale: a light flips many times a
    // second, and its antialiased edge costs more than copying it.
    QPixmap drawnCircle_;
};

class LineWidget final : public Viewed<QWidget> {
public:
    LineWidget(QWidget* parent, const StoredControl& stored);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_;
    QLine line_;
};

class FrameWidget final : public ClickableWidget {
public:
    FrameWidget(QWidget* parent, const StoredControl& stored);
    void showCaption(const std::string& caption) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QColor fore_, back_;
};

// A push button; a graphical one is drawn in its own back colour.
class ButtonWidget final : public Viewed<QPushButton> {
public:
    ButtonWidget(QWidget* parent, const StoredControl& stored);
    void showCaption(const std::string& caption) override;
    bool isCancel() const { return cancel_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool graphical_;
    bool cancel_;
    QColor fore_, back_;
};

class MenuItem final : public QAction, public View {
public:
    MenuItem(QObject* parent, const StoredMenuItem& stored);
    void showCaption(const std::string& caption) override;
    void showVisible(bool visible) override { setVisible(visible); }
    void showEnabled(bool enabled) override { setEnabled(enabled); }
    void moveTo(int, int) override {}
};

class TimerControl final : public QTimer, public View {
public:
    TimerControl(QObject* parent, const StoredControl& stored);
    void showCaption(const std::string&) override {}
    void showVisible(bool) override {}
    // A timer counts only while enabled and while its form's event loop runs.
    void showEnabled(bool enabled) override { enabled ? start() : stop(); }
    void moveTo(int, int) override {}
};

// Breaks text between words so that each line fits in width, as labels do.
QStringList wrapLines(const QString& text, const QFontMetrics& metrics, int width);

QColor resolve(const std::optional<StoredColor>& color, QPalette::ColorRole fallback);
QFont makeFont(const std::optional<StoredFont>& font, const std::optional<StoredFont>& formDefault);

}  // namespace forms::detail
