#pragma once

// Test doubles for the runtime's clock and generator, and a game window with
// both under the test's control.

#include "forms/chance.h"
#include "forms/runtime.h"
#include "forms/testing.h"
#include "forms/conversions.h"
#include "play.h"

#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QTest>

#include <algorithm>
#include <array>
#include <deque>
#include <functional>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace testsupport {

// Hands out the fractions it was given, in order, and records every reseed.
class ScriptedRandom final : public forms::RandomGenerator {
public:
    void reseed(float seed) override { seeds.push_back(seed); }
    float next() override
    {
        if (fractions.empty())
            throw std::logic_error("ScriptedRandom: no fraction left");
        const float r = fractions.front();
        fractions.pop_front();
        return r;
    }
    std::deque<float> fractions;
    std::vector<float> seeds;
};

// The longest a test waits for what the event loop, the real clock or another
// process is to bring, in milliseconds. Every wait ends as soon as its
// condition holds; the bound is for a starved machine and for the sanitizer
// build, which runs several times slower.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool underAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool underAddressSanitizer = true;
#else
inline constexpr bool underAddressSanitizer = false;
#endif
#else
inline constexpr bool underAddressSanitizer = false;
#endif
inline constexpr int patience = underAddressSanitizer ? 30000 : 10000;

class FixedClock final : public forms::Clock {
public:
    float secondsSinceMidnight() override { return seconds; }
    float seconds = 43200.25f;
};

// The fraction that the card value rule turns into `value` (1 to 10).
inline float fractionFor(int value)
{
    return (static_cast<float>(value) - 0.5f) / 10.0f;
}

// A shown game window whose clock and generator the test holds.
struct Game {
    Game()
    {
        auto r = std::make_unique<ScriptedRandom>();
        auto c = std::make_unique<FixedClock>();
        random = r.get();
        clock = c.get();
        runtime.setRandom(std::move(r));
        runtime.setClock(std::move(c));
        window.show();
    }

    // Queues the six card values of the next deal: the player's, then the
    // computer's.
    void nextCards(std::initializer_list<int> values)
    {
        for (int v : values)
            random->fractions.push_back(fractionFor(v));
    }

    // The cards that make `total` (3 to 30), highest first.
    static std::array<int, 3> cardsFor(int total)
    {
        const int a = std::min(10, total - 2);
        const int b = std::min(10, total - a - 1);
        return {a, b, total - a - b};
    }

    // Deals with the given totals, through a click on "Deal".
    void deal(int playerTotal, int computerTotal)
    {
        for (int total : {playerTotal, computerTotal})
            for (int v : cardsFor(total))
                random->fractions.push_back(fractionFor(v));
        window.click("deal");
    }

    // Sets a cash value and its label, as if play had brought it there.
    void setCash(varnel::Side side, int dollars)
    {
        const auto cash = forms::Int16::checked(dollars);
        (side == varnel::Side::player ? window.playerCash : window.computerCash) = cash;
        window.control(side == varnel::Side::player ? "ca" : "ba").setCaption(forms::text(cash));
    }

    std::string caption(const char* name) { return window.control(name).caption(); }
    std::pair<int, int> place(const std::string& coin)
    {
        return {window.control(coin).left(), window.control(coin).top()};
    }

    forms::Runtime runtime{"Varnel"};
    ScriptedRandom* random = nullptr;
    FixedClock* clock = nullptr;
    varnel::play window{runtime};
};

// All the money there is: both cash values and both stakes. Nothing in the
// game makes or loses any, so it stays what the two sides started with.
inline int moneyInPlay(const varnel::play& w)
{
    return w.playerCash.value() + w.computerCash.value() + w.playerStake.value() + w.computerStake.value();
}

// A click as the window system delivers it: to the window, at the point, so
// that the widget under the pointer takes it and a modal window keeps it from
// the others. (QTest's clicks on a QWidget go straight to it, past all that.)
// `at` is in target's coordinates, by default its middle.
inline void clickThroughWindow(QWidget* target, std::optional<QPoint> at = std::nullopt)
{
    QWidget* top = target->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {},
                      target->mapTo(top, at.value_or(target->rect().center())));
}

// Chooses an item of the game window's menu as the player does: a click on it
// in the menu bar.
inline void chooseMenuItem(varnel::play& w, const char* item)
{
    QMenuBar* bar = forms::testing::menuBar(w);
    clickThroughWindow(bar, bar->actionGeometry(forms::testing::menuItem(w, item)).center());
}

// Everything of the game but the lights, as one text to compare: the state,
// and the place, look and caption of every other control.
inline std::string tableState(varnel::play& w)
{
    std::string all;
    for (const forms::Int16 v :
         {w.playerCash, w.computerCash, w.playerTotal, w.computerTotal, w.playerStake, w.computerStake})
        all += std::to_string(v.value()) + " ";
    const auto add = [&](const std::string& name) {
        const forms::Control& c = w.control(name);
        all += name + "@" + std::to_string(c.left()) + "," + std::to_string(c.top()) + (c.visible() ? "v" : "h") +
               (c.enabled() ? "e" : "d") + "'" + c.caption() + "' ";
    };
    for (const char* prefix : {"i", "j"})
        for (int n = 1; n <= 10; ++n)
            add(prefix + std::to_string(n));
    for (const char* name : {"c1",     "c2",     "c3",     "d1",     "d2",     "d3",     "ca",     "ba",
                             "deal",   "g",      "cre",    "Label1", "Label4", "Image1", "Shape1", "Timer1",
                             "Timer2", "Timer3", "Timer4", "Timer5", "drw",    "abt",    "hlp"})
        add(name);
    return all;
}

// What a modal window says: a message box's text, or else which window it is,
// so that the wrong window fails a comparison instead of the suite.
inline std::string boxText(QWidget* modal)
{
    if (auto* box = qobject_cast<QMessageBox*>(modal))
        return box->text().toStdString();
    if (!modal)
        return "(no window)";
    return std::string("(not a message box: ") + modal->metaObject()->className() + " \"" +
           modal->windowTitle().toStdString() + "\")";
}

// Answers every modal window that shows while it lives, from inside that
// window's own event loop, once the window is up. Whatever its answer leaves
// open it closes itself, so no test ever waits on a window nobody answers;
// the test then checks what was shown and answered. Owned by the test: its
// watch ends with it.
class ModalAnswerer final : public QObject {
public:
    using Answer = std::function<void(QWidget* modal)>;

    // Presses the key on the window's focused control, as a user would.
    explicit ModalAnswerer(Qt::Key key)
        : ModalAnswerer(
              [key](QWidget* modal) { QTest::keyClick(modal->focusWidget() ? modal->focusWidget() : modal, key); })
    {}

    // Hands the window to `answer`, which may look at it and close it.
    explicit ModalAnswerer(Answer answer)
        : answer_(std::move(answer))
    {
        qApp->installEventFilter(this);
    }

    ~ModalAnswerer() override
    {
        // One parented to the application goes after the application itself.
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeEventFilter(this);
    }
    ModalAnswerer(const ModalAnswerer&) = delete;
    ModalAnswerer& operator=(const ModalAnswerer&) = delete;

    // The modal windows that showed.
    int shown() const { return shown_; }
    // Those that the answer closed; the others were closed by the answerer.
    int answered() const { return answered_; }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(object);
        // A window shown again while its answer runs (a minimised one that
        // comes back, say) is the same window, not a new one to answer.
        if (event->type() == QEvent::Show && widget && widget->isWindow() && widget->isModal() &&
            !answering(widget)) {
            ++shown_;
            // The answer comes once the window's own event loop runs, from a
            // timer: inside a posted event, an answer that waits on the event
            // loop would never see what is posted meanwhile.
            QTimer::singleShot(1, this, [this, modal = QPointer<QWidget>(widget)] { respond(modal); });
        }
        return false;
    }

private:
    void respond(const QPointer<QWidget>& modal)
    {
        QWidget* shown = modal.data();
        if (!shown || !shown->isVisible() || answering(shown))
            return;
        answering_.push_back(shown);
        answer_(shown);
        answering_.erase(std::find(answering_.begin(), answering_.end(), shown));
        // The answer may have closed it, and events since may have destroyed it.
        if (QWidget* still = modal.data(); still && still->isVisible())
            still->close();
        else
            ++answered_;
    }

    bool answering(const QWidget* window) const
    {
        return std::find(answering_.begin(), answering_.end(), window) != answering_.end();
    }

    Answer answer_;
    // The windows whose answer is running: an answer may open another.
    std::vector<const QWidget*> answering_;
    int shown_ = 0;
    int answered_ = 0;
};

// Runs `action`, handing each modal window that shows meanwhile to `inspect`
// and closing it after (inspect may close it itself). Returns how many
// showed.
inline int whileModal(const std::function<void()>& action, const ModalAnswerer::Answer& inspect)
{
    ModalAnswerer answerer(inspect);
    action();
    return answerer.shown();
}

}  // namespace testsupport
