// The forms runtime through its public headers: load, clicks, properties,
// timers, modal windows and the error report, on a small form of its own.

#include "forms/errors.h"
#include "forms/form.h"
#include "forms/int16.h"
#include "forms/runtime.h"
#include "forms/testing.h"
#include "support/doubles.h"
#include "support/modal.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using forms::testing::widget;
using forms::testing::window;

class Probe final : public forms::Form {
public:
    explicit Probe(forms::Runtime& runtime)
        : forms::Form(runtime, "tests/probe")
    {
        on("Form_Load",
           [this] { events.push_back(forms::testing::window(*this)->isVisible() ? "load while shown" : "load"); });
        for (const char* name : {"pic", "off", "lbl", "gone", "ok", "no", "mnu"})
            on(std::string(name) + "_Click", [this, name] { events.push_back(name); });
        on("beat_Timer", [this] { ++beats; });
    }
    std::vector<std::string> events;
    int beats = 0;
};

struct RuntimeTest : ::testing::Test {
    forms::Runtime runtime{"Varnel"};
    Probe probe{runtime};
};

TEST_F(RuntimeTest, LoadRunsOnceBeforeTheWindowShows)
{
    probe.show();
    probe.show();
    EXPECT_EQ(probe.events, std::vector<std::string>{"load"});
    EXPECT_TRUE(window(probe)->isVisible());
    EXPECT_EQ(probe.beats, 0) << "no tick before the event loop runs";
}

// The probe form with one more handler, bound under a name that is no event
// of its form.
class Misbound final : public forms::Form {
public:
    Misbound(forms::Runtime& runtime, const std::string& handler)
        : forms::Form(runtime, "tests/probe")
    {
        on("Form_Load", [this] { loadRan = true; });
        on(handler, [] {});
    }
    bool loadRan = false;
};

struct Misnamed {
    const char* name;
    const char* handler;
    const char* expected;
};

class MisnamedHandler : public ::testing::TestWithParam<Misnamed> {};

TEST_P(MisnamedHandler, FailsTheLoadNamingTheLayoutTheHandlerAndWhatFits)
{
    forms::Runtime runtime{"Varnel"};
    Misbound form(runtime, GetParam().handler);
    QString reported;
    EXPECT_TRUE(testsupport::whileModal([&] { form.load(); },
                                        [&](QWidget* modal) { reported = qobject_cast<QMessageBox*>(modal)->text(); }));
    const std::string text = reported.toStdString();
    EXPECT_NE(text.find("Bad window layout: :/tests/probe.json: "), std::string::npos) << text;
    EXPECT_NE(text.find("handler '" + std::string(GetParam().handler) + "'"), std::string::npos) << text;
    EXPECT_NE(text.find("expected " + std::string(GetParam().expected)), std::string::npos) << text;
    EXPECT_FALSE(form.loaded());
    EXPECT_FALSE(form.loadRan);
    EXPECT_EQ(runtime.exitStatus(), forms::errorExitStatus);
}

INSTANTIATE_TEST_SUITE_P(Names, MisnamedHandler,
                         ::testing::Values(Misnamed{"loadMistyped", "Form_Lod", "'Form_Load'"},
                                           Misnamed{"clickMistyped", "ok_Clik", "'ok_Click'"},
                                           Misnamed{"eventInLowerCase", "lbl_click", "'lbl_Click'"},
                                           Misnamed{"loadOfAControl", "pic_Load", "'pic_Click'"},
                                           Misnamed{"timerEventOfAButton", "ok_Timer", "'ok_Click'"},
                                           Misnamed{"clickOfATimer", "beat_Click", "'beat_Timer'"},
                                           Misnamed{"timerEventOfAMenuItem", "mnu_Timer", "'mnu_Click'"},
                                           Misnamed{"clickOfAShape", "dot_Click", "none, as 'dot' is a shape"},
                                           Misnamed{"missingControl", "b_Clik", "a control named 'b'"},
                                           Misnamed{"controlInTheWrongCase", "OK_Click", "a control named 'OK'"},
                                           Misnamed{"noEventPart", "okClick", "a control's name, '_' and its event"}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(RuntimeTest, ClicksReachOnlyEnabledVisibleControls)
{
    probe.show();
    QTest::mouseClick(widget(probe, "pic"), Qt::LeftButton);
    QTest::mouseClick(widget(probe, "off"), Qt::LeftButton);
    QTest::mouseClick(widget(probe, "lbl"), Qt::LeftButton);
    probe.click("gone");
    probe.click("ok");
    EXPECT_EQ(probe.events, (std::vector<std::string>{"load", "pic", "lbl", "ok"}));

    probe.events.clear();
    probe.control("pic").setEnabled(false);
    probe.control("ok").setVisible(false);
    probe.control("off").setEnabled(true);
    probe.control("gone").setVisible(true);
    for (const char* name : {"pic", "ok", "off", "gone"})
        probe.click(name);
    QTest::mouseClick(widget(probe, "pic"), Qt::LeftButton);
    EXPECT_EQ(probe.events, (std::vector<std::string>{"off", "gone"}));
}

TEST_F(RuntimeTest, APressReleasedOutsideIsNoClick)
{
    probe.show();
    QWidget* pic = widget(probe, "pic");
    QTest::mousePress(pic, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(pic, Qt::LeftButton, {}, QPoint(-20, 5));
    QTest::mouseClick(pic, Qt::RightButton);
    EXPECT_EQ(probe.events, std::vector<std::string>{"load"});
}

TEST_F(RuntimeTest, PropertiesReadBackExactlyAsSet)
{
    probe.load();  // loaded, not shown: Visible is still the control's own flag
    forms::Control& pic = probe.control("pic");
    EXPECT_TRUE(pic.visible());
    EXPECT_FALSE(widget(probe, "pic")->isVisible());
    pic.setLeft(1234);
    pic.setTop(7);
    EXPECT_EQ(pic.left(), 1234);
    EXPECT_EQ(pic.top(), 7);
    EXPECT_EQ(widget(probe, "pic")->pos(), QPoint(82, 0)) << "twips to pixels, 15 to 1, rounded";
    EXPECT_EQ(pic.width(), 1245);
    pic.setVisible(false);
    EXPECT_FALSE(pic.visible());
    EXPECT_TRUE(widget(probe, "pic")->isHidden());
    probe.control("lbl").setCaption("-32768");
    EXPECT_EQ(probe.control("lbl").caption(), "-32768");
}

TEST_F(RuntimeTest, UnloadedFormsRefusePropertySets)
{
    probe.show();
    forms::Control& label = probe.control("lbl");
    probe.unload();
    EXPECT_FALSE(probe.loaded());
    EXPECT_THROW(label.setCaption("x"), forms::CallFailedError);
    EXPECT_THROW(probe.control("lbl"), forms::CallFailedError);
    probe.click("ok");
    EXPECT_EQ(probe.events, std::vector<std::string>{"load"});
}

TEST_F(RuntimeTest, ReloadStartsFromTheStoredLayout)
{
    probe.show();
    probe.control("pic").setLeft(3000);
    probe.control("lbl").setCaption("changed");
    probe.unload();
    probe.show();
    EXPECT_EQ(probe.control("pic").left(), 0);
    EXPECT_EQ(probe.control("lbl").caption(), "Label");
    EXPECT_EQ(probe.events, (std::vector<std::string>{"load", "load"}));
}

TEST_F(RuntimeTest, TimersTickTheirHandlerWhileEnabled)
{
    probe.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return probe.beats >= 3; }, testsupport::patience));
    probe.control("beat").setEnabled(false);
    EXPECT_FALSE(forms::testing::timer(probe, "beat")->isActive());
    const int stopped = probe.beats;
    // A running timer of the same interval, for as many intervals as it
    // takes the event loop to tick it three times: meanwhile the disabled
    // one was due again and again.
    QTimer reference;
    int referenceTicks = 0;
    QObject::connect(&reference, &QTimer::timeout, [&] { ++referenceTicks; });
    reference.start(forms::testing::timer(probe, "beat")->interval());
    ASSERT_TRUE(QTest::qWaitFor([&] { return referenceTicks >= 3; }, testsupport::patience));
    EXPECT_EQ(probe.beats, stopped);
}

TEST_F(RuntimeTest, ModalShowReturnsWhenTheWindowCloses)
{
    struct Key {
        Qt::Key key;
        const char* clicked;
    };
    for (const Key k : {Key{Qt::Key_Return, "ok"}, Key{Qt::Key_Escape, "no"}}) {
        probe.events.clear();
        const int seen =
            testsupport::whileModal([&] { probe.showModal(); },
                                    [&](QWidget* modal) {
                                        EXPECT_EQ(modal, window(probe));
                                        EXPECT_EQ(modal->focusWidget(), widget(probe, "no"))
                                            << "focus goes to the first control in tab order that takes it";
                                        QTest::keyClick(modal->focusWidget(), Qt::Key_Tab);
                                        QTest::keyClick(modal->focusWidget(), k.key);
                                        // A click alone does not close the form; only unload or the frame does.
                                        EXPECT_TRUE(modal->isVisible());
                                    });
        EXPECT_EQ(seen, 1);
        EXPECT_EQ(probe.events, (std::vector<std::string>{"load", k.clicked}));
        EXPECT_FALSE(probe.loaded());
        EXPECT_EQ(window(probe), nullptr) << "the widgets are gone once Show returns";
    }
}

TEST_F(RuntimeTest, DefaultInstanceIsCreatedOnceAndKept)
{
    Probe& first = runtime.defaultInstance<Probe>();
    first.show();
    first.unload();
    EXPECT_EQ(&runtime.defaultInstance<Probe>(), &first);
}

TEST_F(RuntimeTest, MessageBoxHasTheTextOneOkButtonNoIconAndTheTitle)
{
    QString text, title;
    QMessageBox::Icon icon{};
    int buttons = 0;
    EXPECT_EQ(testsupport::whileModal([&] { runtime.msgBox("How to play"); },
                                      [&](QWidget* modal) {
                                          auto* box = qobject_cast<QMessageBox*>(modal);
                                          ASSERT_NE(box, nullptr);
                                          text = box->text();
                                          title = box->windowTitle();
                                          icon = box->icon();
                                          buttons = int(box->buttons().size());
                                      }),
              1);
    EXPECT_EQ(text, QStringLiteral("How to play"));
    EXPECT_EQ(title, QStringLiteral("Varnel"));
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(buttons, 1);
}

struct Failure {
    const char* name;
    std::function<void()> raise;
    const char* report;
};

class ErrorReport : public RuntimeTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(ErrorReport, ShowsTheErrorEndsTheProgramAndStopsAllHandlers)
{
    probe.show();
    std::string reported;
    EXPECT_EQ(testsupport::whileModal([&] { runtime.dispatch(GetParam().raise); },
                                      [&](QWidget* modal) {
                                          reported = testsupport::boxText(modal);
                                          EXPECT_EQ(modal->windowTitle(), QStringLiteral("Varnel"));
                                      }),
              1);
    EXPECT_EQ(reported, GetParam().report);
    EXPECT_TRUE(runtime.ended());
    EXPECT_EQ(runtime.exitStatus(), forms::errorExitStatus);
    probe.click("ok");
    runtime.dispatch([&] { probe.events.push_back("after"); });
    EXPECT_EQ(probe.events, std::vector<std::string>{"load"});
}

INSTANTIATE_TEST_SUITE_P(Errors, ErrorReport,
                         ::testing::Values(Failure{"overflow",
                                                   [] {
                                                       forms::Int16 x{32767};
                                                       x += forms::Int16{1};
                                                   },
                                                   "Run-time error: Overflow"},
                                           Failure{"failedCall", [] { throw forms::CallFailedError("Show"); },
                                                   "Run-time error: Method or property call failed: Show"},
                                           Failure{"anythingElse", [] { throw 42; },
                                                   "Run-time error: Unknown failure"}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(RuntimeTest, EndStopsHandlersWithTheGivenStatus)
{
    probe.show();
    runtime.end(0);
    EXPECT_TRUE(runtime.ended());
    EXPECT_EQ(runtime.exitStatus(), 0);
    probe.click("ok");
    EXPECT_EQ(probe.events, std::vector<std::string>{"load"});
}

}  // namespace
