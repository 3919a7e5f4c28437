// The charm screen tests run in one GuiApplication on Qt's offscreen
// platform with the web engine set up as the program sets it up (the
// avatars and the collection page are web views), and virtual toys on a
// simulated bus of their own.
#include "Flow/GuiApplication.h"
#include "Tools/WebEngineSetup.h"
#include "resources/Resources.h"

#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QTemporaryDir toyDirectory;
    ::setenv("GLIMMERIES_TOY_DIR", toyDirectory.path().toLocal8Bit().constData(), 1);
    Web::PrepareWebEngine();
    Glm::GuiApplication application(argc, argv);
    GlmInitResources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
