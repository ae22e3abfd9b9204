// The program's start on a register directory, alone in its process, so that
// its peak memory can be read: the benchmark runs it as a child and reads
// what it prints, or by hand (also under /usr/bin/time -v):
//   marlex_start_driver DIR
// prints the start's wall time in milliseconds and the process's peak
// resident memory in megabytes. Exit code 1 when the start ended early.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <optional>

#include "data/Programm.h"
#include "app/Marlex.h"
#include "ini/IniFile.h"
#include "widgets/MessageBox.h"

namespace {

// The peak of this process's own memory (its high-water mark since exec);
// the resource use that getrusage reports would also count the memory of a
// large parent that forked it.
double peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s REGISTER_DIRECTORY\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Without pictograms in the program directory the set-up reports them
    // missing; nobody is there to answer.
    const widgets::ScopedAnswerProvider stumm([](const widgets::MessageRequest&) { return widgets::Answer::Ok; });
    const QTemporaryDir programm;
    Programmverzeichnis = programm.path() + u'/';
    // Not the first start: the offer to take over an earlier version's
    // storage data would wait for a user.
    ini::IniFile(Programmverzeichnis + u"marlex99.ini"_qs).writeBool(u"Optionen"_qs, u"First"_qs, false);
    if (!QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "no directory %s\n", argv[1]);
        return 2;
    }
    QElapsedTimer timer;
    timer.start();
    std::optional<Programm> p;
    p.emplace();
    const qint64 elapsed = timer.elapsed();
    std::printf("start_ms %lld\npeak_MB %.1f\n", static_cast<long long>(elapsed), peakKilobytes() / 1024.0);
    return p->gestartet() ? 0 : 1;
}
