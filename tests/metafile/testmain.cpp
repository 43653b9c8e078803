// SPDX-License-Identifier: GPL-2.0-or-later
#include <gtest/gtest.h>

#include <QGuiApplication>

// Qt Svg draws text through the font database, which needs a GUI application.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery runs the executable without the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
