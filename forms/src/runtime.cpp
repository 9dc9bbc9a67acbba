#include "forms/runtime.h"

#include "fonts.h"
#include "forms/form.h"
#include "modal.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>

#include <iostream>

namespace forms {
namespace {

void showBox(const QString& title, const QString& text, QMessageBox::Icon icon)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok);
    // A plain OK: some desktop styles would put a picture on the button.
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    const detail::ModalScope keep(&box);
    box.exec();
}

// The text that the error report shows for an error.
std::string reportText(const std::exception& error)
{
    return std::string("Run-time error: ") + error.what();
}

}  // namespace

Runtime::Runtime(std::string title)
    : title_(std::move(title)),
      clock_(std::make_unique<SystemClock>()),
      random_(std::make_unique<MixingGenerator>())
{
    detail::installFonts();
}

Runtime::~Runtime() = default;

void Runtime::setClock(std::unique_ptr<Clock> clock)
{
    clock_ = std::move(clock);
}

void Runtime::setRandom(std::unique_ptr<RandomGenerator> random)
{
    random_ = std::move(random);
}

void Runtime::msgBox(const std::string& text, const std::string& title)
{
    showBox(QString::fromStdString(title.empty() ? title_ : title), QString::fromStdString(text), QMessageBox::NoIcon);
}

void Runtime::dispatch(const std::function<void()>& handler)
{
    if (ended_)
        return;
    // Qt must never see an exception: whatever escapes a handler ends here.
    try {
        handler();
    } catch (const std::exception& error) {
        report(error);
    } catch (...) {
        report(std::runtime_error("Unknown failure"));
    }
}

void Runtime::report(const std::exception& error)
{
    if (ended_)
        return;
    // Stop every handler first: the lights' timers go on ticking while the
    // report is on screen, but nothing of the program runs any more.
    ended_ = true;
    exitStatus_ = errorExitStatus;
    const std::string text = reportText(error);
    std::cerr << title_ << ": " << text << std::endl;
    showBox(QString::fromStdString(title_), QString::fromStdString(text), QMessageBox::Critical);
    QCoreApplication::exit(errorExitStatus);
}

void Runtime::end(int status)
{
    if (ended_)
        return;
    ended_ = true;
    exitStatus_ = status;
    QCoreApplication::exit(status);
}

}  // namespace forms
