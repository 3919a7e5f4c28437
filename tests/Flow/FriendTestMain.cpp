// The friendship tests run in one GuiApplication on Qt's offscreen platform
// with the web engine set up as the program sets it up: the letters play the
// friends' avatars.
#include "Flow/GuiApplication.h"
#include "Tools/WebEngineSetup.h"
#include "resources/Resources.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    Web::PrepareWebEngine();
    Glm::GuiApplication application(argc, argv);
    GlmInitResources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
