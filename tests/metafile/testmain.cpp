#include <gtest/gtest.h>

#include <QGuiApplication>

// Qt Svg draws text through the font database, which needs a GUI application.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
