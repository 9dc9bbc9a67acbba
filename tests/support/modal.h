#pragma once

// Modal windows under a test: answering each as it shows, and saying what it
// showed.

#include <QCoreApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

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
        if (event->type() == QEvent::Show && widget && widget->isWindow() && widget->isModal() && !answering(widget)) {
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
