#include "BenchApplication.h"

namespace bench {

QApplication& application()
{
    static int argc = 1;
    static char name[] = "marlex_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

} // namespace bench
