// Store and rule tests share this main: a core application object, enough for the SQL drivers; no widgets.
#include "TestEnvironment.h"

#include <gtest/gtest.h>
#include <QCoreApplication>

int main(int argc, char **argv) {
    const TestEnvironment environment;
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
