// SPDX-License-Identifier: GPL-2.0-or-later
// Runs the program's tests headless, with settings and thumbnails in folders of their own.

#include "res/resource.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    // Thumbnails the tests make are shared in a cache of their own, never the user's.
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    QApplication app(argc, argv);
    RegisterStrevioResources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
