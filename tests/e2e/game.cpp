#include "game.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>

#include <cmath>

namespace e2e {
namespace {

int msecs(milliseconds timeout)
{
    return static_cast<int>(timeout.count());
}

int lightness(QRgb c)
{
    return (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114) / 1000;
}

}  // namespace

Layout::Layout(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw XError("cannot read the layout " + path.toStdString());
    const QJsonObject form = QJsonDocument::fromJson(file.readAll()).object();
    for (const QJsonValue& value : form.value(QStringLiteral("controls")).toArray()) {
        const QJsonObject c = value.toObject();
        if (c.contains(QStringLiteral("width")))
            twips_.insert(c.value(QStringLiteral("name")).toString(),
                          QRect(c.value(QStringLiteral("left")).toInt(), c.value(QStringLiteral("top")).toInt(),
                                c.value(QStringLiteral("width")).toInt(), c.value(QStringLiteral("height")).toInt()));
    }
    for (const QJsonValue& item : form.value(QStringLiteral("menu")).toArray())
        menu_ << item.toObject().value(QStringLiteral("caption")).toString();
    caption_ = form.value(QStringLiteral("caption")).toString();
    if (twips_.isEmpty() || menu_.isEmpty() || caption_.isEmpty())
        throw XError("the layout " + path.toStdString() + " has no controls, menu or caption");
}

int Layout::pixels(int twips)
{
    return static_cast<int>(std::lround(twips / 15.0));
}

QRect Layout::twips(const QString& control) const
{
    const auto found = twips_.find(control);
    if (found == twips_.end())
        throw XError("the layout has no control " + control.toStdString());
    return *found;
}

QRect Layout::box(const QString& control) const
{
    const QRect stored = twips(control);
    return boxAt(control, stored.left(), stored.top());
}

QRect Layout::boxAt(const QString& control, int leftTwips, int topTwips) const
{
    const QRect stored = twips(control);
    return {pixels(leftTwips), pixels(topTwips), pixels(stored.width()), pixels(stored.height())};
}

bool isBlack(QRgb c)
{
    return qRed(c) <= 12 && qGreen(c) <= 12 && qBlue(c) <= 12;
}

bool isWhite(QRgb c)
{
    return qRed(c) >= 243 && qGreen(c) >= 243 && qBlue(c) >= 243;
}

bool isDark(QRgb c)
{
    return lightness(c) < 100;
}

bool isGold(QRgb c)
{
    return qRed(c) >= 140 && qRed(c) > qGreen(c) && qGreen(c) >= 80 && qGreen(c) > qBlue(c) + 40;
}

bool isPink(QRgb c)
{
    return isColour(c, QColor(255, 192, 192));
}

bool isColour(QRgb c, QColor wanted)
{
    return std::abs(qRed(c) - wanted.red()) <= 12 && std::abs(qGreen(c) - wanted.green()) <= 12 &&
           std::abs(qBlue(c) - wanted.blue()) <= 12;
}

double share(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& is)
{
    const QRect inside = area & image.rect();
    if (inside.isEmpty())
        return 0.0;
    int hits = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            hits += is(image.pixel(x, y)) ? 1 : 0;
    return hits / double(inside.width() * inside.height());
}

void runXdotool(const QString& display, const QStringList& arguments, milliseconds timeout)
{
    QProcess xdotool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    xdotool.setProcessEnvironment(environment);
    xdotool.setProcessChannelMode(QProcess::MergedChannels);
    xdotool.start(QStringLiteral("xdotool"), arguments);
    if (!xdotool.waitForFinished(msecs(timeout))) {
        xdotool.kill();
        xdotool.waitForFinished(5000);
        throw XError("xdotool " + arguments.join(QLatin1Char(' ')).toStdString() + " did not finish in time");
    }
    if (xdotool.exitStatus() != QProcess::NormalExit || xdotool.exitCode() != 0)
        throw XError("xdotool " + arguments.join(QLatin1Char(' ')).toStdString() +
                     " failed: " + QString::fromLocal8Bit(xdotool.readAll()).toStdString());
}

QProcessEnvironment programEnvironment(const QString& display)
{
    return environmentOn(display);
}

Game::Game(XClient& x, const QString& display, const Layout& layout, const QString& program, const QString& stderrFile)
    : Game(x, display, layout, program, stderrFile, programEnvironment(display))
{}

Game::Game(XClient& x, const QString& display, const Layout& layout, const QString& program, const QString& stderrFile,
           const QProcessEnvironment& environment)
    : x_(x),
      display_(display),
      stderrFile_(stderrFile),
      layout_(layout)
{
    process_.setProcessEnvironment(environment);
    dieWithParent(process_);
    process_.setStandardInputFile(QProcess::nullDevice());
    process_.setStandardOutputFile(QProcess::nullDevice());
    // A file, not a pipe: nothing the program writes can ever block it.
    process_.setStandardErrorFile(stderrFile);
    process_.start(program, {});
    if (!process_.waitForStarted(msecs(stepTimeout)))
        throw XError("cannot start " + program.toStdString() + ": " + process_.errorString().toStdString());
    pid_ = process_.processId();

    const auto deadline = Clock::now() + startTimeout;
    const auto found = x_.nextMapped(layout_.caption(), pid_, deadline);
    if (!found)
        throw XError("no window titled " + layout_.caption().toStdString() +
                     " appeared; the program said: " + errors().toStdString());
    window_ = *found;
    windowRect_ = x_.geometry(window_);

    // The client area starts where the menu bar ends: the first black row
    // down the window's left edge, where no control lies.
    const auto menuDrawn = [&] {
        const QImage top = x_.grab(QRect(windowRect_.topLeft(), QSize(windowRect_.width(), 60)));
        int height = 0;
        for (int y = 1; y < top.height() && !height; ++y)
            if (isBlack(top.pixel(3, y)) && !isBlack(top.pixel(3, y - 1)))
                height = y;
        if (height < 10 || height > 40)
            return false;
        // The captions: runs of columns with dark pixels, a word each.
        menuItems_.clear();
        int start = -1, lastDark = -100;
        for (int column = 0; column < top.width(); ++column) {
            bool dark = false;
            for (int y = 2; y < height - 2 && !dark; ++y)
                dark = isDark(top.pixel(column, y));
            if (!dark)
                continue;
            if (column - lastDark > 6) {
                if (start >= 0)
                    menuItems_ << QRect(start, 0, lastDark - start + 1, height);
                start = column;
            }
            lastDark = column;
        }
        if (start >= 0)
            menuItems_ << QRect(start, 0, lastDark - start + 1, height);
        client_ = windowRect_.adjusted(0, height, 0, 0);
        return menuItems_.size() == layout_.menu().size();
    };
    if (!x_.lookUntil(menuDrawn, deadline))
        throw XError("the window's menu bar was not drawn with " + std::to_string(layout_.menu().size()) +
                     " captions in time");
}

Game::~Game()
{
    if (running()) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

QImage Game::shot()
{
    return x_.grab(client_);
}

Faults Game::expectSoon(const std::function<void(const QImage&, Faults&)>& judge, milliseconds timeout)
{
    Faults faults;
    x_.lookUntil(
        [&] {
            faults.clear();
            judge(shot(), faults);
            return faults.isEmpty();
        },
        Clock::now() + timeout);
    return faults;
}

void Game::xdotool(const QStringList& arguments)
{
    runXdotool(display_, arguments);
}

void Game::click(QPoint inClient, int times)
{
    const QPoint at = client_.topLeft() + inClient;
    QStringList arguments{QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                          QStringLiteral("click")};
    if (times > 1)
        arguments << QStringLiteral("--repeat") << QString::number(times) << QStringLiteral("--delay")
                  << QStringLiteral("1");
    xdotool(arguments << QStringLiteral("1"));
}

void Game::clickMenu(const QString& caption)
{
    const qsizetype index = layout_.menu().indexOf(caption);
    if (index < 0)
        throw XError("the menu bar has no " + caption.toStdString());
    const QPoint at = windowRect_.topLeft() + menuItems_.at(index).center();
    xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()), QStringLiteral("click"),
             QStringLiteral("1")});
}

void Game::press(WindowId target, const QString& key)
{
    // Without a window manager nobody hands out the keyboard focus: take it
    // for the window (and wait until the server has given it), then press
    // the key through XTEST, as a keyboard would.
    xdotool(
        {QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(target), QStringLiteral("key"), key});
}

std::optional<WindowId> Game::nextWindow(const QString& title, milliseconds timeout)
{
    return x_.nextMapped(title, pid_, Clock::now() + timeout);
}

std::optional<int> Game::waitForExit(milliseconds timeout)
{
    if (running() && !process_.waitForFinished(msecs(timeout)))
        return std::nullopt;
    if (process_.exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    return process_.exitCode();
}

QString Game::errors() const
{
    QFile file(stderrFile_);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

}  // namespace e2e
