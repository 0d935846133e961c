#include <QCoreApplication>
#include <gtest/gtest.h>

#include "support/ProcessSettings.h"

// Core tests run without a GUI: anything that needs one fails to build or to start here.
int main(int argc, char** argv)
{
    UseOwnUserSettings();
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
