#include "widgets.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

#include <cmath>

namespace forms::detail {

namespace {

// The device pixels under a box of the widget's own pixels, rounded as Qt
// rounds the widget's place on a scaled screen, back in the painter's
// coordinates. A one-pixel edge drawn with a pen at a fractional scale falls
// between two rows of device pixels, and the row it is rounded to may lie
// outside the widget; filled on these pixels it is always whole and inside.
QRectF onDevicePixels(const QPainter& p, const QRect& box)
{
    const QTransform toDevice = p.deviceTransform();
    const QRectF area = toDevice.mapRect(QRectF(box));
    const double left = std::round(area.left()), top = std::round(area.top());
    const QRectF pixels(left, top, std::max(1.0, std::round(area.right()) - left),
                        std::max(1.0, std::round(area.bottom()) - top));
    return toDevice.inverted().mapRect(pixels);
}

}  // namespace

QColor resolve(const std::optional<StoredColor>& color, QPalette::ColorRole fallback)
{
    const QPalette palette = QApplication::palette();
    if (!color)
        return palette.color(fallback);
    switch (color->system) {
    case StoredColor::System::buttonText:
        return palette.color(QPalette::ButtonText);
    case StoredColor::System::windowText:
        return palette.color(QPalette::WindowText);
    case StoredColor::System::buttonFace:
        return palette.color(QPalette::Button);
    case StoredColor::System::none:
        break;
    }
    return color->rgb;
}

QFont makeFont(const std::optional<StoredFont>& font, const std::optional<StoredFont>& formDefault)
{
    // Without a font of its own a control takes its form's, and without that
    // the runtime's own small sans serif.
    const StoredFont stored = font          ? *font
                              : formDefault ? *formDefault
                                            : StoredFont{QStringLiteral("MS Sans Serif"), 8.0, false};
    QFont f(stored.name);
    // Points at 96 pixels per inch, the same scale as the twips of the
    // layout, so text keeps its size relative to the controls on any screen.
    f.setPixelSize(static_cast<int>(std::lround(stored.points * 96.0 / 72.0)));
    f.setBold(stored.bold);
    return f;
}

namespace {

void placeBox(QWidget* widget, const StoredControl& stored)
{
    widget->setGeometry(pixels(stored.left), pixels(stored.top), pixels(stored.width), pixels(stored.height));
}

// Grey text with a light shadow: how a disabled caption is drawn on a face of
// any colour.
void drawDisabledText(QPainter& p, const QRect& r, int flags, const QString& text, const QPalette& palette)
{
    p.setPen(palette.color(QPalette::Light));
    p.drawText(r.translated(1, 1), flags, text);
    p.setPen(palette.color(QPalette::Disabled, QPalette::Text));
    p.drawText(r, flags, text);
}

}  // namespace

void ClickableWidget::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickableWidget::mouseReleaseEvent(QMouseEvent* event)
{
    const bool wasPressed = std::exchange(pressed_, false);
    event->accept();
    if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && clicked)
        clicked();
}

LabelWidget::LabelWidget(QWidget* parent, const StoredControl& stored)
    : ClickableWidget(parent),
      text_(stored.caption),
      fore_(resolve(stored.foreColor, QPalette::ButtonText)),
      back_(resolve(stored.backColor, QPalette::Button)),
      opaque_(stored.opaque),
      alignment_(stored.alignment)
{
    placeBox(this, stored);
}

void LabelWidget::showCaption(const std::string& caption)
{
    text_ = QString::fromStdString(caption);
    linesValid_ = false;
    update();
}

void LabelWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        linesValid_ = false;
    ClickableWidget::changeEvent(event);
}

void LabelWidget::resizeEvent(QResizeEvent* event)
{
    linesValid_ = false;
    ClickableWidget::resizeEvent(event);
}

QStringList wrapLines(const QString& text, const QFontMetrics& metrics, int width)
{
    QStringList lines;
    for (const QString& paragraph :
         QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split(QLatin1Char('\n'))) {
        QString line;
        qsizetype at = 0;
        while (at < paragraph.size()) {
            // The next word and the blanks before it.
            qsizetype wordStart = at;
            while (wordStart < paragraph.size() && paragraph[wordStart] == QLatin1Char(' '))
                ++wordStart;
            qsizetype wordEnd = wordStart;
            while (wordEnd < paragraph.size() && paragraph[wordEnd] != QLatin1Char(' '))
                ++wordEnd;
            const QString withBlanks = paragraph.mid(at, wordEnd - at);
            if (line.isEmpty() || metrics.horizontalAdvance(line + withBlanks) <= width) {
                line += withBlanks;
            } else {
                // The blanks where a line breaks are dropped, so the next line
                // starts with its word.
                lines << line;
                line = paragraph.mid(wordStart, wordEnd - wordStart);
            }
            at = wordEnd;
        }
        lines << line;
    }
    return lines;
}

void LabelWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (opaque_)
        p.fillRect(rect(), back_);
    p.setFont(font());
    p.setPen(fore_);
    // A label breaks its text between words at its right edge and starts at
    // its top, whatever its height; what does not fit is cut off.
    const QFontMetrics metrics(font());
    if (!linesValid_) {
        lines_.clear();
        for (const QString& line : wrapLines(text_, metrics, width())) {
            QStaticText text(line);
            text.setTextFormat(Qt::PlainText);
            text.prepare(QTransform(), font());
            lines_.push_back(text);
        }
        linesValid_ = true;
    }
    int y = 0;
    for (const QStaticText& line : lines_) {
        const qreal spare = width() - line.size().width();
        const qreal x = alignment_ & Qt::AlignRight ? spare : alignment_ & Qt::AlignHCenter ? spare / 2 : 0.0;
        p.drawStaticText(QPointF(x, y), line);
        y += metrics.height();
        if (y >= height())
            break;
    }
}

PictureWidget::PictureWidget(QWidget* parent, const StoredControl& stored, QPixmap picture)
    : ClickableWidget(parent),
      picture_(std::move(picture)),
      border_(stored.border)
{
    placeBox(this, stored);
}

void PictureWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (border_) {
        qDrawWinPanel(&p, rect(), palette(), true);
        p.drawPixmap(borderPixels, borderPixels, picture_);
    } else {
        p.drawPixmap(0, 0, picture_);
    }
}

ShapeWidget::ShapeWidget(QWidget* parent, const StoredControl& stored)
    : Viewed<QWidget>(parent),
      circle_(stored.figure == QLatin1String("circle")),
      opaque_(stored.opaque),
      fill_(resolve(stored.backColor, QPalette::Window)),
      outline_(resolve(stored.borderColor, QPalette::WindowText))
{
    placeBox(this, stored);
    // A shape is drawn on its form and takes no clicks: they reach whatever
    // lies under it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeWidget::showVisible(bool visible)
{
    if (std::exchange(drawn_, visible) != visible)
        update();
}

void ShapeWidget::paintEvent(QPaintEvent*)
{
    if (!drawn_)
        return;
    QPainter p(this);
    if (circle_) {
        const qreal scale = devicePixelRatioF();
        const QSize pixels = (QSizeF(size()) * scale).toSize();
        if (drawnCircle_.size() != pixels || drawnCircle_.devicePixelRatio() != scale) {
            drawnCircle_ = QPixmap(pixels);
            drawnCircle_.setDevicePixelRatio(scale);
            drawnCircle_.fill(Qt::transparent);
            QPainter circle(&drawnCircle_);
            circle.setPen(QPen(outline_, 1));
            circle.setBrush(opaque_ ? QBrush(fill_) : QBrush(Qt::NoBrush));
            circle.setRenderHint(QPainter::Antialiasing);
            const int d = std::min(width(), height());
            circle.drawEllipse(QRectF((width() - d) / 2.0 + 0.5, (height() - d) / 2.0 + 0.5, d - 1.0, d - 1.0));
        }
        p.drawPixmap(0, 0, drawnCircle_);
        return;
    }
    if (opaque_)
        p.fillRect(rect(), fill_);
    const int w = width(), h = height();
    for (const QRect edge : {QRect(0, 0, w, 1), QRect(0, h - 1, w, 1), QRect(0, 0, 1, h), QRect(w - 1, 0, 1, h)})
        p.fillRect(onDevicePixels(p, edge), outline_);
}

LineWidget::LineWidget(QWidget* parent, const StoredControl& stored)
    : Viewed<QWidget>(parent),
      color_(resolve(stored.borderColor, QPalette::WindowText))
{
    const int x1 = pixels(stored.x1), y1 = pixels(stored.y1), x2 = pixels(stored.x2), y2 = pixels(stored.y2);
    const QRect box = QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized();
    setGeometry(box);
    line_ = QLine(x1 - box.left(), y1 - box.top(), x2 - box.left(), y2 - box.top());
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (line_.dx() == 0 || line_.dy() == 0) {
        p.fillRect(onDevicePixels(p, QRect(line_.p1(), line_.p2()).normalized()), color_);
        return;
    }
    p.setPen(QPen(color_, 1));
    p.drawLine(line_);
}

FrameWidget::FrameWidget(QWidget* parent, const StoredControl& stored)
    : ClickableWidget(parent),
      text_(stored.caption),
      fore_(resolve(stored.foreColor, QPalette::ButtonText)),
      back_(resolve(stored.backColor, QPalette::Button))
{
    placeBox(this, stored);
}

void FrameWidget::showCaption(const std::string& caption)
{
    text_ = QString::fromStdString(caption);
    update();
}

void FrameWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), back_);
    const QFontMetrics metrics(font());
    const int edge = metrics.height() / 2;
    qDrawShadeRect(&p, QRect(0, edge, width(), height() - edge), palette(), true);
    const QRect captionBox(6, 0, metrics.horizontalAdvance(text_) + 4, metrics.height());
    p.fillRect(captionBox, back_);
    p.setFont(font());
    p.setPen(fore_);
    p.drawText(captionBox, Qt::AlignCenter, text_);
}

ButtonWidget::ButtonWidget(QWidget* parent, const StoredControl& stored)
    : Viewed<QPushButton>(QString(stored.caption), parent),
      graphical_(stored.graphical),
      cancel_(stored.isCancel),
      fore_(resolve(stored.foreColor, QPalette::ButtonText)),
      back_(resolve(stored.backColor, QPalette::Button))
{
    placeBox(this, stored);
    setFocusPolicy(Qt::StrongFocus);
    // The form decides what Enter presses; Qt's own habit of making the
    // focused button the default one would move the default frame about.
    setAutoDefault(false);
    setDefault(stored.isDefault);
}

void ButtonWidget::showCaption(const std::string& caption)
{
    setText(QString::fromStdString(caption));
}

void ButtonWidget::paintEvent(QPaintEvent* event)
{
    if (!graphical_) {
        QPushButton::paintEvent(event);
        return;
    }
    QPainter p(this);
    const bool sunken = isDown();
    const QBrush face(back_);
    qDrawWinButton(&p, rect(), palette(), sunken, &face);
    QRect inside = rect().adjusted(3, 3, -3, -3);
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    p.setFont(font());
    if (isEnabled()) {
        p.setPen(fore_);
        p.drawText(sunken ? inside.translated(1, 1) : inside, flags, text());
    } else {
        drawDisabledText(p, inside, flags, text(), palette());
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = inside;
        option.backgroundColor = back_;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }
}

MenuItem::MenuItem(QObject* parent, const StoredMenuItem& stored)
    : QAction(stored.caption, parent)
{}

void MenuItem::showCaption(const std::string& caption)
{
    setText(QString::fromStdString(caption));
}

TimerControl::TimerControl(QObject* parent, const StoredControl& stored)
    : QTimer(parent)
{
    // A coarse timer may stretch an interval by up to a twentieth (120 ms
    // becomes 125): a light ticks at exactly its stored pace.
    setTimerType(Qt::PreciseTimer);
    setInterval(stored.interval);
}

}  // namespace forms::detail
