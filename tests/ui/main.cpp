// Widget tests run in one QApplication under the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "ui/skin.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // No test may touch the user's own settings file.
    QTemporaryDir configuration;
    qputenv("XDG_CONFIG_HOME", configuration.path().toUtf8());
    QApplication application(argc, argv);
    quilvern::skin::Apply(application);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
