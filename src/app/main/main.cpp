// The program: German throughout, the run-long windows created in their
// order (the start of the data side runs while they are created), then the
// event loop. A start that was ended has told the user why and leaves at
// once, without the steps of an ordinary quit.

#include <cstdlib>
#include <exception>

#include <QApplication>

#include "data/Programm.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marlex99"));
    widgets::installGermanTranslation(app);

    try {
        const Programm programm;
        if (!programm.gestartet())
            return EXIT_FAILURE;
        return QApplication::exec();
    } catch (const std::exception& fehler) {
        // Whatever the windows did not catch themselves ends the program
        // with its reason, not with a crash.
        widgets::MessageBox::error(nullptr, QStringLiteral("Marlex99 muss beendet werden:\n\n%1")
                                                .arg(widgets::errorText(fehler)));
        return EXIT_FAILURE;
    }
}
