// The About window: what it shows, every way it closes, and that each opening
// is laid out afresh while the rest of the program waits.

#include "frmAbout.h"
#include "support/game.h"
#include "support/modal.h"

#include <QApplication>
#include <QImage>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using forms::testing::widget;
using forms::testing::window;
using varnel::frmAbout;

// The client area's place on the screen and its size, in pixels.
const QRect storedPlace(156, 129, 553, 281);

struct Box {
    const char* name;
    QRect pixels;
};
const Box boxes[] = {
    {"picIcon", QRect(8, 8, 537, 195)},
    {"cmdOK", QRect(456, 248, 84, 23)},
    {"lblTitle", QRect(8, 216, 259, 24)},
    {"lblDisclaimer", QRect(8, 248, 258, 31)},
};

std::string text(const QRect& r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).toStdString();
}

// What one opening of the window showed.
struct Look {
    std::string caption;
    std::string place;
    bool fixedSize = false;
    bool dialogFrame = false;
    std::vector<std::string> boxes;
    std::vector<std::string> texts;
    bool focusOnOK = false;

    std::string summary() const
    {
        std::string all =
            caption + " | " + place + (fixedSize ? " fixed" : " sizable") + (dialogFrame ? " dialog" : " window");
        for (const std::string& b : boxes)
            all += " | " + b;
        for (const std::string& t : texts)
            all += " | " + t;
        return all + (focusOnOK ? " | focus on OK" : " | focus elsewhere");
    }
};

Look lookOf(frmAbout& about, QWidget* modal)
{
    Look look;
    look.caption = modal->windowTitle().toStdString();
    look.place = text(modal->geometry());
    look.fixedSize = modal->minimumSize() == modal->maximumSize();
    const Qt::WindowFlags flags = modal->windowFlags();
    look.dialogFrame = (flags & Qt::WindowCloseButtonHint) && !(flags & Qt::WindowMinimizeButtonHint) &&
                       !(flags & Qt::WindowMaximizeButtonHint);
    for (const Box& b : boxes)
        look.boxes.push_back(text(widget(about, b.name)->geometry()));
    for (const char* name : {"cmdOK", "lblTitle", "lblDisclaimer"})
        look.texts.push_back(about.control(name).caption());
    look.focusOnOK = modal->focusWidget() && modal->focusWidget() == widget(about, "cmdOK");
    return look;
}

void expectAsStored(const Look& look)
{
    EXPECT_EQ(look.caption, "Varnel");
    EXPECT_EQ(look.place, text(storedPlace));
    EXPECT_TRUE(look.fixedSize);
    EXPECT_TRUE(look.dialogFrame) << "a close box, no minimise or maximise";
    for (std::size_t i = 0; i < std::size(boxes); ++i)
        EXPECT_EQ(look.boxes.at(i), text(boxes[i].pixels)) << boxes[i].name;
    EXPECT_EQ(look.texts.at(0), "OK");
    EXPECT_TRUE(look.focusOnOK);
}

// A press and release on the About window's own button. Not through the
// window system: that path runs the event loop, which would destroy the
// unloaded window under the test's watcher.
void clickOK(frmAbout& about)
{
    QTest::mouseClick(widget(about, "cmdOK"), Qt::LeftButton);
}

// A key as the user types it: to the widget with the focus.
void press(QWidget* modal, Qt::Key key)
{
    QTest::keyClick(modal->focusWidget() ? modal->focusWidget() : modal, key);
}

void tabToThePicture(QWidget* modal, frmAbout& about)
{
    press(modal, Qt::Key_Tab);
    ASSERT_EQ(modal->focusWidget(), widget(about, "picIcon"));
}

struct Way {
    const char* name;
    std::function<void(QWidget* modal, frmAbout& about)> close;
};

class Closing : public ::testing::TestWithParam<Way> {};

TEST_P(Closing, EndsTheShowUnloadsAndTheNextOpeningIsLaidOutAfresh)
{
    forms::Runtime runtime{"Varnel"};
    const frmAbout* first = &runtime.defaultInstance<frmAbout>();
    std::vector<Look> looks;
    for (int opening = 0; opening < 3; ++opening) {
        frmAbout* about = nullptr;
        QPointer<QWidget> shown;
        bool loadedOnReturn = true;
        const int seen = testsupport::whileModal(
            [&] {
                about = &runtime.defaultInstance<frmAbout>();
                about->showModal();
                loadedOnReturn = about->loaded();
            },
            [&](QWidget* modal) {
                shown = modal;
                EXPECT_EQ(modal, window(*about));
                EXPECT_EQ(modal->windowModality(), Qt::ApplicationModal);
                looks.push_back(lookOf(*about, modal));
                GetParam().close(modal, *about);
                EXPECT_FALSE(about->loaded()) << "closed by " << GetParam().name << ", not by the answerer";
                EXPECT_FALSE(modal->isVisible());
            });
        ASSERT_EQ(seen, 1);
        EXPECT_EQ(about, first) << "one About object for the run";
        EXPECT_FALSE(loadedOnReturn);
        EXPECT_EQ(window(*about), nullptr);
        EXPECT_TRUE(shown.isNull()) << "the window is destroyed, not just hidden";
    }
    ASSERT_EQ(looks.size(), 3u);
    expectAsStored(looks[0]);
    for (std::size_t i = 1; i < looks.size(); ++i)
        EXPECT_EQ(looks[i].summary(), looks[0].summary()) << "opening " << i + 1;
}

INSTANTIATE_TEST_SUITE_P(
    Ways, Closing,
    ::testing::Values(Way{"clickOnOK", [](QWidget*, frmAbout& about) { clickOK(about); }},
                      Way{"enter", [](QWidget* modal, frmAbout&) { press(modal, Qt::Key_Return); }},
                      Way{"keypadEnter", [](QWidget* modal, frmAbout&) { press(modal, Qt::Key_Enter); }},
                      Way{"escape", [](QWidget* modal, frmAbout&) { press(modal, Qt::Key_Escape); }},
                      Way{"enterOnThePicture",
                          [](QWidget* modal, frmAbout& about) {
                              tabToThePicture(modal, about);
                              press(modal, Qt::Key_Return);
                          }},
                      Way{"escapeOnThePicture",
                          [](QWidget* modal, frmAbout& about) {
                              tabToThePicture(modal, about);
                              press(modal, Qt::Key_Escape);
                          }},
                      Way{"closeBox", [](QWidget* modal, frmAbout&) { modal->close(); }}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(AboutWindow, AMoveByTheUserIsForgottenAtTheNextOpening)
{
    forms::Runtime runtime{"Varnel"};
    frmAbout& about = runtime.defaultInstance<frmAbout>();
    ASSERT_EQ(testsupport::whileModal([&] { about.showModal(); },
                                      [&](QWidget* modal) {
                                          modal->move(400, 300);
                                          EXPECT_EQ(modal->pos(), QPoint(400, 300));
                                          clickOK(about);
                                      }),
              1);
    ASSERT_EQ(testsupport::whileModal([&] { about.showModal(); },
                                      [&](QWidget* modal) {
                                          EXPECT_EQ(text(modal->geometry()), text(storedPlace));
                                          press(modal, Qt::Key_Escape);
                                      }),
              1);
}

TEST(AboutWindow, TabGoesFromOKToThePictureAndBackPastTheLabels)
{
    forms::Runtime runtime{"Varnel"};
    frmAbout& about = runtime.defaultInstance<frmAbout>();
    std::vector<QWidget*> visited;
    ASSERT_EQ(testsupport::whileModal(
                  [&] { about.showModal(); },
                  [&](QWidget* modal) {
                      for (int i = 0; i < 3; ++i) {
                          visited.push_back(modal->focusWidget());
                          press(modal, Qt::Key_Tab);
                      }
                      visited.push_back(modal->focusWidget());
                      EXPECT_EQ(visited, (std::vector<QWidget*>{widget(about, "cmdOK"), widget(about, "picIcon"),
                                                                widget(about, "cmdOK"), widget(about, "picIcon")}));
                  }),
              1);
}

struct AboutShown : ::testing::Test {
    forms::Runtime runtime{"Varnel"};
    frmAbout& about = runtime.defaultInstance<frmAbout>();
    void SetUp() override { about.show(); }
    QImage shot(const char* control)
    {
        return widget(about, control)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(AboutShown, TheNoticesHaveTheirLengthsAndFitTheirLabels)
{
    struct Notice {
        const char* label;
        std::size_t length;
        bool oneLine;
    };
    for (const Notice n : {Notice{"lblTitle", 24, true}, Notice{"lblDisclaimer", 104, false}}) {
        const std::string text = about.control(n.label).caption();
        EXPECT_EQ(text.size(), n.length) << n.label;
        QWidget* label = widget(about, n.label);
        const QFontMetrics metrics(label->font());
        const QStringList lines = forms::testing::labelLines(about, n.label);
        EXPECT_EQ(lines.size() == 1, n.oneLine) << n.label << ": " << lines.join(QLatin1Char('|')).toStdString();
        EXPECT_LE(lines.size() * metrics.height(), label->height()) << n.label << ": every line shows in full";
        for (const QString& line : lines)
            EXPECT_LE(metrics.horizontalAdvance(line), label->width()) << n.label << ": " << line.toStdString();
    }
    EXPECT_NE(about.control("lblTitle").caption().find("Varnel"), std::string::npos)
        << "the rights notice names the game";
}

TEST_F(AboutShown, TheBannerSitsInsideASunkenTwoPixelBorder)
{
    const QImage banner = QImage(QStringLiteral(":/assets/banner.bmp")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(banner.size(), QSize(533, 191));
    const QImage box = shot("picIcon");
    ASSERT_EQ(box.size(), QSize(537, 195));
    EXPECT_EQ(box.copy(2, 2, 533, 191), banner) << "drawn at its own size, two pixels in";
    // A sunken edge is lit from the top left: both rings are darker there
    // than on the opposite side.
    for (int ring = 0; ring < 2; ++ring) {
        EXPECT_LT(qGray(box.pixel(ring, 97)), qGray(box.pixel(536 - ring, 97))) << "left and right, ring " << ring;
        EXPECT_LT(qGray(box.pixel(268, ring)), qGray(box.pixel(268, 194 - ring))) << "top and bottom, ring " << ring;
    }
}

TEST_F(AboutShown, TheLineIsMidGreyFromEndToEnd)
{
    const QImage client = forms::testing::client(about)->grab().toImage();
    const std::string grey = "#808080";
    const auto at = [&](QPoint p) { return client.pixelColor(p).name().toStdString(); };
    for (const QPoint on : {QPoint(8, 240), QPoint(200, 240), QPoint(379, 240)})
        EXPECT_EQ(at(on), grey) << on.x() << "," << on.y();
    for (const QPoint off : {QPoint(7, 240), QPoint(380, 240), QPoint(200, 239), QPoint(200, 241)})
        EXPECT_NE(at(off), grey) << off.x() << "," << off.y();
}

// On a desktop whose window and button colours differ the labels must still
// not stand out as boxes on the window.
TEST(AboutWindow, TheLabelsLieOnTheWindowsOwnColour)
{
    const QPalette system = QApplication::palette();
    QPalette desktop = system;
    desktop.setColor(QPalette::Window, QColor(0xf4, 0xf4, 0xf0));
    desktop.setColor(QPalette::Button, QColor(0xd8, 0xdc, 0xe4));
    QApplication::setPalette(desktop);
    {
        forms::Runtime runtime{"Varnel"};
        frmAbout& about = runtime.defaultInstance<frmAbout>();
        about.show();
        const QImage client = forms::testing::client(about)->grab().toImage();
        const auto at = [&](int x, int y) { return client.pixelColor(x, y).name().toStdString(); };
        const std::string ground = at(549, 100);  // right of the banner, under no control
        EXPECT_EQ(at(250, 230), ground) << "lblTitle, right of its text";
        EXPECT_EQ(at(250, 277), ground) << "lblDisclaimer, below its text";
    }
    QApplication::setPalette(system);
}

TEST(AboutWindow, WhileItIsOpenTheGameWindowTakesNoInput)
{
    testsupport::Game game;
    // Cards for a deal, so that a click on "Deal" that got through would
    // show as a hand dealt.
    game.nextCards({5, 6, 7, 2, 3, 4});
    const std::string before = testsupport::tableState(game.window);
    ASSERT_EQ(testsupport::whileModal([&] { game.runtime.defaultInstance<frmAbout>().showModal(); },
                                      [&](QWidget* modal) {
                                          testsupport::clickThroughWindow(widget(game.window, "deal"));
                                          testsupport::clickThroughWindow(widget(game.window, "i1"));
                                          EXPECT_EQ(game.window.control("i1").left(), 120);
                                          EXPECT_EQ(game.window.playerCash.value(), 1000);
                                          EXPECT_FALSE(game.window.control("g").enabled());
                                          EXPECT_EQ(testsupport::tableState(game.window), before);
                                          EXPECT_TRUE(modal->isVisible());
                                          press(modal, Qt::Key_Escape);
                                      }),
              1);
    EXPECT_EQ(testsupport::tableState(game.window), before);

    // Once it has closed the same clicks do what they do.
    testsupport::clickThroughWindow(widget(game.window, "i1"));
    EXPECT_EQ(game.window.control("i1").left(), 6360);
    EXPECT_EQ(game.window.playerCash.value(), 900);
    testsupport::clickThroughWindow(widget(game.window, "deal"));
    EXPECT_TRUE(game.window.control("g").enabled());
}

}  // namespace
