// GoogleTest main for tests that need a QApplication (Qt WebEngine widgets).
// The player runs with the engine settings the program chooses at start.
#include "EngineEnvironment.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    orvane::ChooseEngineEnvironment();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
