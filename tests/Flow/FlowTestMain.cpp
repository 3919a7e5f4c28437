// The shell's tests run in one GuiApplication (the restart needs its
// notify), on Qt's offscreen platform.
#include "Flow/GuiApplication.h"
#include "resources/Resources.h"

#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Every frame starts toy discovery: it watches a simulated bus of this
    // test program's own, never the desktop's toys.
    QTemporaryDir toyDirectory;
    ::setenv("GLIMMERIES_TOY_DIR", toyDirectory.path().toLocal8Bit().constData(), 1);
    Glm::GuiApplication application(argc, argv);
    GlmInitResources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
