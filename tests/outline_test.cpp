// One-pixel outlines and lines, on a screen scaled by any factor: each edge
// is a whole row or column of device pixels, never a line between two rows
// that the rasteriser rounds away. ctest runs this at several scale factors.

#include "forms/form.h"
#include "forms/runtime.h"
#include "forms/testing.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>

namespace {

class Outlines final : public forms::Form {
public:
    explicit Outlines(forms::Runtime& runtime)
        : forms::Form(runtime, "tests/outlines")
    {}
};

// Whether the row (or, with `across` false, the column) `at` of `image` is
// green along the middle of [from, to].
bool greenAlong(const QImage& image, int at, double from, double to, bool across)
{
    const int first = static_cast<int>(std::ceil(from + (to - from) / 4));
    const int last = static_cast<int>(std::floor(to - (to - from) / 4));
    for (int i = first; i <= last; ++i)
        if (image.pixelColor(across ? i : at, across ? at : i) != QColor(Qt::green))
            return false;
    return true;
}

// Whether some whole row (column) of device pixels within a pixel of `edge`
// is green.
bool edgeDrawn(const QImage& image, double edge, double from, double to, bool across)
{
    for (int at = static_cast<int>(std::floor(edge)) - 1; at <= static_cast<int>(std::ceil(edge)); ++at)
        if (at >= 0 && at < (across ? image.height() : image.width()) && greenAlong(image, at, from, to, across))
            return true;
    return false;
}

class OutlineTest : public ::testing::Test {
protected:
    OutlineTest() { form.show(); }

    QImage shot() { return forms::testing::client(form)->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    // The control's box in device pixels of the client area.
    QRectF onDevice(const char* name)
    {
        QWidget* control = forms::testing::widget(form, name);
        const QPoint at = control->mapTo(forms::testing::client(form), QPoint(0, 0));
        const qreal scale = control->devicePixelRatioF();
        return {at.x() * scale, at.y() * scale, control->width() * scale, control->height() * scale};
    }

    forms::Runtime runtime{"Outlines"};
    Outlines form{runtime};
};

TEST_F(OutlineTest, EveryEdgeOfARectangleIsAWholeRowOrColumnOfPixels)
{
    const QImage image = shot();
    for (const char* name : {"whole", "quarter", "half", "threeQuarters"}) {
        const QRectF box = onDevice(name);
        EXPECT_TRUE(edgeDrawn(image, box.top(), box.left(), box.right(), true)) << name << ": top edge";
        EXPECT_TRUE(edgeDrawn(image, box.bottom() - 1, box.left(), box.right(), true)) << name << ": bottom edge";
        EXPECT_TRUE(edgeDrawn(image, box.left(), box.top(), box.bottom(), false)) << name << ": left edge";
        EXPECT_TRUE(edgeDrawn(image, box.right() - 1, box.top(), box.bottom(), false)) << name << ": right edge";
    }
}

TEST_F(OutlineTest, ALineIsAWholeRowOrColumnOfPixels)
{
    const QImage image = shot();
    const QRectF across = onDevice("across"), down = onDevice("down");
    EXPECT_TRUE(edgeDrawn(image, across.top(), across.left(), across.right(), true));
    EXPECT_TRUE(edgeDrawn(image, down.left(), down.top(), down.bottom(), false));
}

}  // namespace
