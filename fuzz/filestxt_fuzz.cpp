// FILES.TXT, the list of files the program needs, as a user or an old
// installation may have left it: any bytes, any line ends, names of any
// kind. The whole start runs on a small register with the input as its
// list: it must come up or stop with its message (and its error list
// init.err), never crash, hang or trip a sanitizer.
#include <cstddef>
#include <cstdint>

#include <QApplication>
#include <QDir>
#include <QFile>

#include "FuzzSupport.h"
#include "SmallRegister.h"
#include "app/Marlex.h"
#include "data/Programm.h"
#include "demo/Generator.h"
#include "widgets/MessageBox.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    const QDir root(QString::fromStdString(scratchDir("filestxt_fuzz").string()));
    writeSmallRegister(QDir(root.filePath(QStringLiteral("daten"))));
    demo::generateProgramFiles(QDir(root.filePath(QStringLiteral("programm"))));
    Programmverzeichnis = root.filePath(QStringLiteral("programm")) + QLatin1Char('/');
    QDir::setCurrent(root.filePath(QStringLiteral("daten")));
    // Every message is answered at once.
    static widgets::ScopedAnswerProvider answers([](const widgets::MessageRequest&) { return widgets::Answer::Ok; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QFile list(QStringLiteral("FILES.TXT"));
    if (!list.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    list.write(reinterpret_cast<const char*>(data), qint64(size));
    list.close();
    // Whatever the list holds, the start ends in its own way: up, or with
    // its message; an exception would end the program past its windows.
    const Programm programm;
    (void)programm.gestartet();
    return 0;
}
