// The set-up tests run in one GuiApplication on Qt's offscreen platform with
// the web engine for the avatar and congratulation movies.
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
