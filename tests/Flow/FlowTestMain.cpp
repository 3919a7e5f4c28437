// The shell's tests run in one GuiApplication (the restart needs its
// notify), on Qt's offscreen platform.
#include "Flow/GuiApplication.h"
#include "resources/Resources.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    Glm::GuiApplication application(argc, argv);
    GlmInitResources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
