// The view tests share one application object and one web engine for the
// whole run, as the application does.

#include "Tools/WebEngineSetup.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    Web::PrepareWebEngine();
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
