#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // The window tests need no real screen; test discovery at build time has none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplicacao(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
