// How a label breaks its caption into lines.

#include "widgets.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

TEST(LabelWrap, BreaksBetweenWordsAndDropsTheBlanksAtTheBreak)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(QStringLiteral("Varnel's team")) + 2;
    struct Case {
        QString text;
        QStringList lines;
    };
    const Case cases[] = {
        {QStringLiteral("Varnel") + QString(60, QLatin1Char(' ')) + QStringLiteral("Varnel's team"),
         {QStringLiteral("Varnel"), QStringLiteral("Varnel's team")}},
        {QStringLiteral("Cash:  $"), {QStringLiteral("Cash:  $")}},
        {QStringLiteral("Varnel's team Varnel's team"),
         {QStringLiteral("Varnel's team"), QStringLiteral("Varnel's team")}},
        {QStringLiteral("Unbreakablewordthatiswiderthanthebox ok"),
         {QStringLiteral("Unbreakablewordthatiswiderthanthebox"), QStringLiteral("ok")}},
        {QStringLiteral("one\r\ntwo"), {QStringLiteral("one"), QStringLiteral("two")}},
        {QString(), {QString()}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(forms::detail::wrapLines(c.text, metrics, width), c.lines) << c.text.toStdString();
}

}  // namespace
