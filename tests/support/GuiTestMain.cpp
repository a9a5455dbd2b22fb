// main() of the GUI test programs: a QApplication on the offscreen platform
// unless another is asked for, then GoogleTest.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // CTest runs test processes side by side: each gets its own settings
    // folder, so the recent-file list of one never shows up in another, and
    // the user's own settings are never touched.
    QTemporaryDir configHome;
    if (configHome.isValid())
        qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setOrganizationName("LumacutTests");
    QApplication::setApplicationName("lumacut-tests");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
