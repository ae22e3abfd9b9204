#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

// One QApplication for every test binary: widget tests need it, and the
// others lose nothing by it. Run with QT_QPA_PLATFORM=offscreen.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The user's own folders (settings, each run's working tables) lie in a
    // folder of the test run, never in the home folder of whoever runs it.
    const QTemporaryDir benutzer;
    qputenv("XDG_CONFIG_HOME", benutzer.path().toUtf8());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
