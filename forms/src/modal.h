#pragma once

class QWidget;

namespace forms::detail {

// Keeps a modal window within the player's reach while its event loop runs.
// A window manager may minimise it, or put it where nothing on screen leads
// back to it, and every window it blocks then refuses the player. Whenever
// the player turns to one of those (activates it, clicks in it or presses a
// key at it), the modal window comes back: restored, raised and active.
// Scopes nest, the innermost is the one brought back.
class ModalScope {
public:
    explicit ModalScope(QWidget* window);
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    QWidget* window_;
};

}  // namespace forms::detail
