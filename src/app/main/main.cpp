// The program: German throughout, the run-long windows created in their
// order (the start of the data side runs while they are created), then the
// event loop. A start that was ended has told the user why and leaves at
// once, without the steps of an ordinary quit.

#include <cstdlib>

#include <QApplication>

#include "data/Programm.h"
#include "widgets/MessageBox.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marlex99"));
    widgets::installGermanTranslation(app);

    const Programm programm;
    if (!programm.gestartet())
        return EXIT_FAILURE;
    return QApplication::exec();
}
