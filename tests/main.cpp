#include <gtest/gtest.h>

#include <QApplication>

// One QApplication for every test binary: widget tests need it, and the
// others lose nothing by it. Run with QT_QPA_PLATFORM=offscreen.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
