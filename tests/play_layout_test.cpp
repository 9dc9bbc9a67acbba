// The game window's stored layout and its pictures.

#include "support/game.h"

#include <QFile>
#include <QImage>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using forms::testing::widget;

struct Box {
    const char* name;
    int left, top, width, height;
};

// Every control with a box, as the window's plan places it.
const Box plan[] = {
    {"Image1", 120, 0, 7995, 2865},     {"Label1", 8760, 1200, 5775, 975}, {"Shape2", 11280, 1200, 495, 615},
    {"Shape3", 12000, 1200, 495, 615},  {"Shape4", 13440, 1200, 495, 615}, {"Shape5", 12720, 1200, 495, 615},
    {"Shape6", 14160, 1200, 495, 615},  {"j1", 6000, 3000, 1245, 1500},    {"j2", 1440, 3000, 1245, 1500},
    {"j3", 3000, 3000, 1245, 1500},     {"j4", 4560, 3000, 1245, 1500},    {"j5", 120, 3000, 1245, 1500},
    {"j6", 7440, 3000, 1245, 1500},     {"j7", 9000, 3000, 1245, 1500},    {"j8", 10560, 3000, 1245, 1500},
    {"j9", 12120, 3000, 1245, 1500},    {"j10", 13680, 3000, 1245, 1500},  {"d1", 360, 4680, 1095, 1095},
    {"d2", 1680, 4680, 1095, 1095},     {"d3", 3000, 4680, 1095, 1095},    {"ba", 6240, 5280, 2775, 375},
    {"Shape1", 6240, 5760, 2775, 2535}, {"cre", 6360, 5880, 2535, 2295},   {"deal", 360, 6480, 3735, 495},
    {"Label4", 360, 7320, 1455, 495},   {"ca", 1680, 7320, 2415, 495},     {"c1", 360, 7920, 1095, 1095},
    {"c2", 1680, 7920, 1095, 1095},     {"c3", 3000, 7920, 1095, 1095},    {"g", 6240, 8520, 2775, 615},
    {"i1", 120, 9360, 1245, 1500},      {"i2", 1560, 9360, 1245, 1500},    {"i3", 3120, 9360, 1245, 1500},
    {"i4", 4680, 9360, 1245, 1500},     {"i5", 6240, 9360, 1245, 1500},    {"i6", 7560, 9360, 1245, 1500},
    {"i7", 9120, 9360, 1245, 1500},     {"i8", 10680, 9360, 1245, 1500},   {"i9", 12240, 9360, 1245, 1500},
    {"i10", 13800, 9360, 1245, 1500},
};

struct PlayLayout : ::testing::Test {
    testsupport::Game game;
    varnel::play& w = game.window;
};

TEST_F(PlayLayout, EveryControlStandsInItsBox)
{
    for (const Box& b : plan) {
        const forms::Control& c = w.control(b.name);
        EXPECT_EQ((std::array{c.left(), c.top(), c.width(), c.height()}),
                  (std::array{b.left, b.top, b.width, b.height}))
            << b.name;
        EXPECT_EQ(widget(w, b.name)->geometry(), QRect(b.left / 15, b.top / 15, b.width / 15, b.height / 15)) << b.name;
    }
    for (const char* timer : {"Timer1", "Timer2", "Timer3", "Timer4", "Timer5"})
        EXPECT_EQ(w.control(timer).kind(), "timer");
}

TEST_F(PlayLayout, TimersKeepTheirIntervals)
{
    const std::pair<const char*, int> timers[] = {
        {"Timer1", 100}, {"Timer2", 200}, {"Timer3", 100}, {"Timer4", 120}, {"Timer5", 150}};
    for (const auto& [name, interval] : timers) {
        EXPECT_EQ(forms::testing::timer(w, name)->interval(), interval) << name;
        EXPECT_TRUE(forms::testing::timer(w, name)->isActive()) << name;
    }
}

TEST_F(PlayLayout, LightsAndComputerCoinsStandInTheirOrder)
{
    const auto leftToRight = [&](std::vector<std::string> names) {
        std::sort(names.begin(), names.end(),
                  [&](const auto& a, const auto& b) { return w.control(a).left() < w.control(b).left(); });
        return names;
    };
    EXPECT_EQ(leftToRight({"Shape2", "Shape3", "Shape4", "Shape5", "Shape6"}),
              (std::vector<std::string>{"Shape2", "Shape3", "Shape5", "Shape4", "Shape6"}));
    const auto coins = leftToRight({"j1", "j2", "j3", "j4", "j5", "j6", "j7", "j8", "j9", "j10"});
    EXPECT_EQ(coins.front(), "j5");
    EXPECT_EQ(coins[4], "j1");
}

TEST_F(PlayLayout, WindowOpensShowingTheWholeLayout)
{
    QWidget* client = forms::testing::client(w);
    EXPECT_EQ(client->size(), QSize(1003, 724));
    EXPECT_EQ(forms::testing::window(w)->windowTitle(), QStringLiteral("Varnel"));
    for (const Box& b : plan)
        EXPECT_TRUE(client->rect().contains(widget(w, b.name)->geometry())) << b.name;
}

TEST_F(PlayLayout, AtTheStoredClientSizeTheRightAndBottomAreCutOff)
{
    QWidget* window = forms::testing::window(w);
    QWidget* client = forms::testing::client(w);
    window->resize(window->width() - client->width() + 11085 / 15, window->height() - client->height() + 9570 / 15);
    ASSERT_EQ(client->size(), QSize(739, 638));
    const auto seen = [&](const char* name) { return widget(w, name)->geometry().intersected(client->rect()); };
    for (const char* hidden : {"Shape2", "Shape3", "Shape4", "Shape5", "Shape6", "i9", "i10", "j9", "j10"})
        EXPECT_TRUE(seen(hidden).isEmpty()) << hidden;
    for (const char* part : {"Label1", "i8", "j8"})
        EXPECT_LT(seen(part).width(), widget(w, part)->width()) << part;
    EXPECT_EQ(seen("i1").height(), 210 / 15) << "only the top 210 twips of the player's row";
    EXPECT_EQ(w.control("i10").left(), 13800) << "nothing moves";
}

// Little-endian fields of a Windows bitmap or icon file.
struct Bytes {
    QByteArray data;
    quint32 u32(int at) const { return qFromLittleEndian<quint32>(data.constData() + at); }
    qint32 s32(int at) const { return qFromLittleEndian<qint32>(data.constData() + at); }
    quint16 u16(int at) const { return qFromLittleEndian<quint16>(data.constData() + at); }
};

Bytes resource(const char* path)
{
    QFile f(QString::fromLatin1(path));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path;
    return Bytes{f.readAll()};
}

TEST(Pictures, BitmapsAreUncompressed24BitsAtTheirSizes)
{
    const std::tuple<const char*, int, int> bitmaps[] = {{":/assets/coin.bmp", 83, 100},
                                                         {":/assets/banner.bmp", 533, 191}};
    for (const auto& [path, width, height] : bitmaps) {
        const Bytes b = resource(path);
        ASSERT_GE(b.data.size(), 54) << path;
        EXPECT_EQ(b.data.left(2), QByteArray("BM")) << path;
        EXPECT_EQ(b.s32(18), width) << path;
        EXPECT_EQ(std::abs(b.s32(22)), height) << path;
        EXPECT_EQ(b.u16(28), 24) << path;
        EXPECT_EQ(b.u32(30), 0u) << path << ": compressed";
        const int rowBytes = (width * 3 + 3) / 4 * 4;
        EXPECT_EQ(b.data.size(), qsizetype(b.u32(10)) + rowBytes * height) << path;
        EXPECT_EQ(QImage(QString::fromLatin1(path)).size(), QSize(width, height)) << path;
    }
}

TEST(Pictures, IconIsOne32x32ImageOf8BitsWithAMask)
{
    const Bytes b = resource(":/assets/varnel.ico");
    ASSERT_GE(b.data.size(), 22 + 40);
    EXPECT_EQ(b.u16(0), 0);
    EXPECT_EQ(b.u16(2), 1) << "an icon, not a cursor";
    EXPECT_EQ(b.u16(4), 1) << "one image";
    EXPECT_EQ(quint8(b.data[6]), 32);
    EXPECT_EQ(quint8(b.data[7]), 32);
    const int dib = int(b.u32(18));
    EXPECT_EQ(b.s32(dib + 4), 32);
    EXPECT_EQ(b.s32(dib + 8), 64) << "colour image and mask";
    EXPECT_EQ(b.u16(dib + 14), 8);
    const int colours = b.u32(dib + 32) ? int(b.u32(dib + 32)) : 256;
    EXPECT_EQ(b.data.size(), dib + 40 + colours * 4 + 32 * 32 + 32 * 4) << "palette, pixels and the 1-bit mask";

    const QImage icon = QImage(QStringLiteral(":/assets/varnel.ico")).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(icon.size(), QSize(32, 32));
    int clear = 0, red = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QColor c = icon.pixelColor(x, y);
            clear += c.alpha() == 0;
            red += c.alpha() == 255 && c.red() > 2 * c.green() && c.red() > 2 * c.blue();
        }
    EXPECT_GT(clear, 300) << "a transparent ground";
    EXPECT_GT(red, 60) << "a red letter";
}

}  // namespace
