// How long the game takes from its start to a window on screen, how much
// memory it then holds and how much CPU it burns while the player thinks, each
// beside the same figures for a bare Qt window on the same X server.
//
//   varnel_startup_bench [--runs N] [--idle SECONDS] [--game PROGRAM] [--bare PROGRAM]
//
// --game and --bare put other builds in place of the ones built beside this
// one, to weigh a change against the same baseline.
//
// Exit status 1 when a figure misses its target.

#include "xserver.h"

#include <QCoreApplication>
#include <QFile>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
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

// User and system time so far, in seconds.
double cpuSeconds(qint64 pid)
{
    const QByteArray stat = procFile(pid, "stat");
    // The command name in parentheses may hold blanks: count from after it.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    const double ticks = fields.at(11).toDouble() + fields.at(12).toDouble();  // utime, stime
    return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
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
    double idleCpuPercent = 0.0;
};

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

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    int runs = 15;
    seconds idle(10);
    Program bare{"bare window", QStringLiteral(VARNEL_BARE), QStringLiteral("Bare window")};
    Program game{"game", QStringLiteral(VARNEL_GAME), QStringLiteral("Varnel")};
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); i += 2) {
        const QString value = i + 1 < arguments.size() ? arguments[i + 1] : QString();
        if (arguments[i] == QLatin1String("--runs") && value.toInt() > 0)
            runs = value.toInt();
        else if (arguments[i] == QLatin1String("--idle") && value.toInt() > 0)
            idle = seconds(value.toInt());
        else if (arguments[i] == QLatin1String("--game") && !value.isEmpty())
            game.path = value;
        else if (arguments[i] == QLatin1String("--bare") && !value.isEmpty())
            bare.path = value;
        else {
            std::fprintf(stderr,
                         "usage: varnel_startup_bench [--runs N] [--idle SECONDS] [--game PROGRAM] [--bare PROGRAM]\n");
            return 2;
        }
    }

    try {
        VirtualScreen screen;
        // Listening before the first program starts: each MapNotify is read
        // as it comes, never looked for afterwards.
        XClient x(screen.display());

        std::printf("%d runs each after a warm-up, taken in turns, on Xvfb %s\n", runs,
                    screen.display().toLatin1().constData());
        Figures bareFigures, gameFigures;
        startOnce(x, bare, screen.display(), nullptr);
        startOnce(x, game, screen.display(), nullptr);
        for (int run = 0; run < runs; ++run) {
            startOnce(x, bare, screen.display(), &bareFigures);
            startOnce(x, game, screen.display(), &gameFigures);
        }
        std::printf("idle CPU over %lld s each...\n", static_cast<long long>(idle.count()));
        bareFigures.idleCpuPercent = idleCpuPercent(x, bare, screen.display(), idle);
        gameFigures.idleCpuPercent = idleCpuPercent(x, game, screen.display(), idle);

        const double bareStart = median(bareFigures.startupMs), gameStart = median(gameFigures.startupMs);
        const double bareMemory = median(bareFigures.residentMiB), gameMemory = median(gameFigures.residentMiB);
        const bool startOk = gameStart <= 1.5 * bareStart;
        const bool memoryOk = gameMemory <= 1.4 * bareMemory;
        const bool cpuOk = gameFigures.idleCpuPercent < 1.0;

        std::printf("\n%-34s %12s %12s %8s  %s\n", "", "bare window", "game", "ratio", "target");
        std::printf("%-34s %12.1f %12.1f %8.2f  <= 1.50  %s\n", "start to window mapped, median ms", bareStart,
                    gameStart, gameStart / bareStart, startOk ? "met" : "MISSED");
        std::printf("%-34s %12.1f %12.1f %8s\n", "  fastest, ms",
                    *std::min_element(bareFigures.startupMs.begin(), bareFigures.startupMs.end()),
                    *std::min_element(gameFigures.startupMs.begin(), gameFigures.startupMs.end()), "");
        std::printf("%-34s %12.1f %12.1f %8.2f  <= 1.40  %s\n", "resident 1 s after, median MiB", bareMemory,
                    gameMemory, gameMemory / bareMemory, memoryOk ? "met" : "MISSED");
        std::printf("%-34s %12.2f %12.2f %8s  < 1 %%    %s\n", "idle CPU, % of one core", bareFigures.idleCpuPercent,
                    gameFigures.idleCpuPercent, "", cpuOk ? "met" : "MISSED");
        return startOk && memoryOk && cpuOk ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "varnel_startup_bench: %s\n", error.what());
        return 2;
    }
}
