#include "BenchApplication.h"

#include <memory>

namespace bench {

namespace {

std::unique_ptr<QApplication>& instance()
{
    static std::unique_ptr<QApplication> app;
    return app;
}

} // namespace

QApplication& application()
{
    static int argc = 1;
    static char name[] = "marlex_bench";
    static char* argv[] = {name, nullptr};
    if (!instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        instance() = std::make_unique<QApplication>(argc, argv);
    }
    return *instance();
}

void closeApplication()
{
    instance().reset();
}

} // namespace bench
