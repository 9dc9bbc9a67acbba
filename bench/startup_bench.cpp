// How long the game takes from its start to a window on screen, how much
// memory it then holds and how much CPU it burns while the player thinks,
// each against a floor that does the same visible work and nothing else, on
// the same X server and in the same alternating runs:
//
// - start-up and memory against a window of the game's size with the same
//   three-item menu bar (the menu bar's text is what costs: Qt's first use
//   of a font);
// - idle CPU against a window that shows and hides five small boxes on the
//   five timers of the game's lights.
//
// Each ratio is the median of the runs' own ratios. The bare Qt window,
// which draws no text, is shown beside them for reference only.
//
//   varnel_startup_bench [--runs N] [--idle SECONDS] [--idle-runs N]
//                        [--game PROGRAM] [--bare PROGRAM] [--menu PROGRAM] [--blink PROGRAM]
//
// The program options put other builds in place of the ones built beside
// this one, to weigh a change against the same floors.
//
// Exit status 1 when a figure misses its target, 2 when it cannot be taken.

#include "xserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using namespace e2e;
using std::chrono::duration;
using std::chrono::seconds;

struct Program {
    const char* name;
    QString path;
    QString title;
};

// The program started on the bench's screen, killed when this goes.
class Started {
public:
    Started(const Program& program, const QString& display)
        : at(Clock::now())
    {
        process_.setProcessEnvironment(environmentOn(display));
        process_.setStandardInputFile(QProcess::nullDevice());
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.setStandardErrorFile(QProcess::nullDevice());
        dieWithParent(process_);
        process_.start(program.path, {});
        if (!process_.waitForStarted(10000))
            throw XError("cannot start " + program.path.toStdString());
    }
    ~Started()
    {
        process_.kill();
        process_.waitForFinished(5000);
    }
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;

    qint64 pid() const { return process_.processId(); }
    const Clock::time_point at;

private:
    QProcess process_;
};

WindowId mappedWindow(XClient& x, const Program& program, const Started& started)
{
    const auto window = x.nextMapped(program.title, started.pid(), started.at + seconds(30));
    if (!window)
        throw XError(std::string(program.name) + " put no window on screen within 30 s");
    return *window;
}

QByteArray procFile(qint64 pid, const char* name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly))
        throw XError("cannot read /proc/" + std::to_string(pid) + "/" + name);
    return file.readAll();
}

double residentMiB(qint64 pid)
{
    for (const QByteArray& line : procFile(pid, "status").split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    throw XError("no VmRSS for process " + std::to_string(pid));
}

// The time the process's threads have run so far, in seconds. The
// scheduler counts it in nanoseconds; the user and system times of
// /proc/PID/stat come in clock ticks of 10 ms, too coarse for a program that
// runs a few milliseconds a second.
double cpuSeconds(qint64 pid)
{
    QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    const QStringList threads = tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (threads.isEmpty())
        throw XError("no threads listed for process " + std::to_string(pid));
    double nanoseconds = 0.0;
    for (const QString& thread : threads) {
        QFile file(tasks.filePath(thread + QStringLiteral("/schedstat")));
        // A thread that ended since the listing has nothing more to add.
        if (file.open(QIODevice::ReadOnly))
            nanoseconds += file.readAll().split(' ').first().toDouble();
    }
    return nanoseconds / 1e9;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

struct Figures {
    std::vector<double> startupMs;
    std::vector<double> residentMiB;
    std::vector<double> idleCpuPercent;
};

double fastest(const std::vector<double>& values)
{
    return *std::min_element(values.begin(), values.end());
}

void startOnce(XClient& x, const Program& program, const QString& display, Figures* into)
{
    Started started(program, display);
    const WindowId window = mappedWindow(x, program, started);
    const double ms = duration<double, std::milli>(x.mappedAt(window) - started.at).count();
    std::this_thread::sleep_for(seconds(1));
    const double mib = residentMiB(started.pid());
    if (into) {
        into->startupMs.push_back(ms);
        into->residentMiB.push_back(mib);
    }
}

double idleCpuPercent(XClient& x, const Program& program, const QString& display, seconds idle)
{
    Started started(program, display);
    mappedWindow(x, program, started);
    // Past the start-up's own work, then the window only stands there.
    std::this_thread::sleep_for(seconds(1));
    const double cpuBefore = cpuSeconds(started.pid());
    const auto wallBefore = Clock::now();
    std::this_thread::sleep_for(idle);
    const double cpu = cpuSeconds(started.pid()) - cpuBefore;
    const double wall = duration<double>(Clock::now() - wallBefore).count();
    return 100.0 * cpu / wall;
}

// The median of the game's figure over its floor's, run by run: the two
// figures of one run share whatever else the machine was doing just then,
// which the ratio of two medians taken apart does not.
double medianRatio(const std::vector<double>& game, const std::vector<double>& floor)
{
    std::vector<double> ratios;
    for (std::size_t i = 0; i < std::min(game.size(), floor.size()); ++i)
        ratios.push_back(game[i] / floor[i]);
    return median(ratios);
}

// One line of the table: the figure of each program (a dash where it is not
// taken), the game's ratio to its floor against the target, and its ratio to
// the bare window for reference.
struct Row {
    const char* what;
    double bare, menu, blink, game;
    double ratio = 0.0;
    double target = 0.0;
    double toBare = -1.0;
};

bool printRow(const Row& row)
{
    const auto cell = [](double value) {
        char text[32];
        if (value < 0)
            std::snprintf(text, sizeof text, "%10s", "-");
        else
            std::snprintf(text, sizeof text, "%10.2f", value);
        return std::string(text);
    };
    std::printf("%-36s%s%s%s%s", row.what, cell(row.bare).c_str(), cell(row.menu).c_str(), cell(row.blink).c_str(),
                cell(row.game).c_str());
    if (row.target <= 0.0) {
        std::printf("\n");
        return true;
    }
    const bool met = row.ratio <= row.target;
    std::printf("%9.2f  <= %.2f %-6s", row.ratio, row.target, met ? "met" : "MISSED");
    if (row.toBare >= 0)
        std::printf("%8.2f", row.toBare);
    std::printf("\n");
    return met;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    int runs = 15;
    int idleRuns = 7;
    seconds idle(5);
    Program bare{"bare window", QStringLiteral(VARNEL_BARE), QStringLiteral("Bare window")};
    Program menu{"menu-bar window", QStringLiteral(VARNEL_MENU), QStringLiteral("Menu-bar window")};
    Program blink{"blinking window", QStringLiteral(VARNEL_BLINK), QStringLiteral("Blinking window")};
    Program game{"game", QStringLiteral(VARNEL_GAME), QStringLiteral("Varnel")};
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); i += 2) {
        const QString& option = arguments[i];
        const QString value = i + 1 < arguments.size() ? arguments[i + 1] : QString();
        if (option == QLatin1String("--runs") && value.toInt() > 0)
            runs = value.toInt();
        else if (option == QLatin1String("--idle") && value.toInt() > 0)
            idle = seconds(value.toInt());
        else if (option == QLatin1String("--idle-runs") && value.toInt() > 0)
            idleRuns = value.toInt();
        else if (option == QLatin1String("--game") && !value.isEmpty())
            game.path = value;
        else if (option == QLatin1String("--bare") && !value.isEmpty())
            bare.path = value;
        else if (option == QLatin1String("--menu") && !value.isEmpty())
            menu.path = value;
        else if (option == QLatin1String("--blink") && !value.isEmpty())
            blink.path = value;
        else {
            std::fprintf(stderr, "usage: varnel_startup_bench [--runs N] [--idle SECONDS] [--idle-runs N]\n"
                                 "           [--game PROGRAM] [--bare PROGRAM] [--menu PROGRAM] [--blink PROGRAM]\n");
            return 2;
        }
    }

    try {
        VirtualScreen screen;
        // Listening before the first program starts: each MapNotify is read
        // as it comes, never looked for afterwards.
        XClient x(screen.display());
        const QString& display = screen.display();

        std::printf("start-up: %d runs each after a warm-up, taken in turns, on Xvfb %s\n", runs,
                    display.toLatin1().constData());
        Figures bareFigures, menuFigures, blinkFigures, gameFigures;
        const std::vector<std::pair<const Program*, Figures*>> started{
            {&bare, &bareFigures}, {&menu, &menuFigures}, {&game, &gameFigures}};
        for (const auto& [program, figures] : started)
            startOnce(x, *program, display, nullptr);
        for (int run = 0; run < runs; ++run)
            for (const auto& [program, figures] : started)
                startOnce(x, *program, display, figures);

        std::printf("idle CPU: %d runs of %lld s each, taken in turns...\n", idleRuns,
                    static_cast<long long>(idle.count()));
        // Each run in another order, so that none of them always follows the
        // same one on a machine whose load comes and goes.
        std::vector<std::pair<const Program*, Figures*>> idling{
            {&bare, &bareFigures}, {&blink, &blinkFigures}, {&game, &gameFigures}};
        for (int run = 0; run < idleRuns; ++run) {
            for (const auto& [program, figures] : idling)
                figures->idleCpuPercent.push_back(idleCpuPercent(x, *program, display, idle));
            std::rotate(idling.begin(), idling.begin() + 1, idling.end());
        }

        constexpr double none = -1.0;
        const Figures &b = bareFigures, &m = menuFigures, &l = blinkFigures, &g = gameFigures;
        std::printf("\n%-36s%10s%10s%10s%10s%9s  %-14s%8s\n", "", "bare", "menu bar", "blinking", "game", "to floor",
                    "target", "to bare");
        bool met = printRow({"start to window mapped, median ms", median(b.startupMs), median(m.startupMs), none,
                             median(g.startupMs), medianRatio(g.startupMs, m.startupMs), 1.15,
                             medianRatio(g.startupMs, b.startupMs)});
        printRow({"  fastest, ms", fastest(b.startupMs), fastest(m.startupMs), none, fastest(g.startupMs)});
        met = printRow({"resident 1 s after, median MiB", median(b.residentMiB), median(m.residentMiB), none,
                        median(g.residentMiB), medianRatio(g.residentMiB, m.residentMiB), 1.15,
                        medianRatio(g.residentMiB, b.residentMiB)}) &&
              met;
        // A bare window burns next to nothing while it stands: no ratio to it.
        met = printRow({"idle CPU, median % of one core", median(b.idleCpuPercent), none, median(l.idleCpuPercent),
                        median(g.idleCpuPercent), medianRatio(g.idleCpuPercent, l.idleCpuPercent), 1.15}) &&
              met;
        std::printf("\nThe floors: start-up and memory, the menu-bar window; idle CPU, the blinking window.\n");
        std::printf("Idle CPU by run, %% of one core:\n");
        for (const auto& [name, figures] :
             {std::pair{"blinking window", &blinkFigures}, std::pair{"game", &gameFigures}}) {
            std::printf("  %-16s", name);
            for (const double percent : figures->idleCpuPercent)
                std::printf(" %5.2f", percent);
            std::printf("\n");
        }
        return met ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "varnel_startup_bench: %s\n", error.what());
        return 2;
    }
}
