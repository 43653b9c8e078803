// SPDX-License-Identifier: GPL-2.0-or-later
#include <gtest/gtest.h>

#include <QGuiApplication>

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv); // the image services' Qt decoders and fonts
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
