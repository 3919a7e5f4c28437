// Every resource in the table is compiled in and loads with the size and frame count the
// table gives; the sizes the screens rely on are right; every name the code loads exists.

#include "ResourceTable.h"

#include "ThinUI/ResourceImage.h"
#include "resources/Resources.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

using ResourceTests::FindRow;
using ResourceTests::ReadTable;
using ResourceTests::TableRow;

namespace {

const char* const kArtTypes[] = {"JPG", "GIF", "WAV", "ICON"};

class ResourceTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        GlmInitResources();
        m_rows = ReadTable();
        ASSERT_FALSE(m_rows.empty()) << "no resource table in " << qPrintable(ResourceTests::SourceDir())
                                     << "/resources/README.md";
    }

    void ExpectImage(const QString& name, int width, int height, int frames) {
        const TableRow* row = FindRow(m_rows, name);
        ASSERT_NE(row, nullptr) << qPrintable(name) << " is not in the table";
        EXPECT_EQ(row->width, width) << qPrintable(name);
        EXPECT_EQ(row->height, height) << qPrintable(name);
        EXPECT_EQ(row->frames, frames) << qPrintable(name);
    }

    std::vector<TableRow> m_rows;
};

TEST_F(ResourceTableTest, EveryRowIsCompiledInAndEveryCompiledResourceHasARow) {
    QSet<QString> compiled;
    for (const char* type : kArtTypes) {
        QDirIterator it(QStringLiteral(":/res/") + QLatin1String(type), QDir::Files);
        while (it.hasNext()) {
            compiled.insert(QLatin1String(type) + QLatin1Char('/') + QFileInfo(it.next()).fileName());
        }
    }
    QSet<QString> listed;
    for (const TableRow& row : m_rows) {
        listed.insert(row.type + QLatin1Char('/') + row.name);
        EXPECT_TRUE(QFile::exists(GlmResourcePath(row.type, row.name))) << qPrintable(row.name);
    }
    for (const QString& entry : compiled) {
        EXPECT_TRUE(listed.contains(entry)) << qPrintable(entry) << " is compiled in but not in the table";
    }
    EXPECT_EQ(listed.size(), static_cast<qsizetype>(m_rows.size())) << "a name appears twice in the table";
}

TEST_F(ResourceTableTest, EveryPictureLoadsThroughResourceImageWithItsTableSize) {
    int pictures = 0;
    for (const TableRow& row : m_rows) {
        if (row.type == QLatin1String("WAV")) {
            continue;
        }
        ThinUI::ResourceImage image(row.name.toStdString(), row.type.toStdString());
        ASSERT_TRUE(image.Load()) << qPrintable(row.name);
        // A picture drawn at scale 2 counts in scale-1 pixels: half its file's size.
        const int density = row.name.endsWith(QLatin1String("@2x")) ? 2 : 1;
        EXPECT_EQ(image.GetWidth() * density, row.width) << qPrintable(row.name);
        EXPECT_EQ(image.GetHeight() * density, row.height) << qPrintable(row.name);
        ASSERT_GT(row.frames, 0) << qPrintable(row.name);
        EXPECT_EQ(row.height % row.frames, 0) << qPrintable(row.name) << ": frames of unequal height";
        ++pictures;
    }
    EXPECT_GT(pictures, 200);
}

TEST_F(ResourceTableTest, ScreensGetTheSizesAndFrameCountsTheyRelyOn) {
    for (const char* name :
         {"BACKGROUND_MAIN", "BACKGROUND_SIGNIN", "BACKGROUND_SIGNUP", "BACKGROUND_DEVICEMNGR",
          "BACKGROUND_DEVICE_RESET", "BACKGROUND_SETUPBRACELET", "BACKGROUND_CHANGEBRACELET",
          "BACKGROUND_ADDCHARMS", "BACKGROUND_CHARMS_COLLECTION", "BACKGROUND_ADD_GLINT_POINTS",
          "BACKGROUND_REDEEM_GLINT_POINTS", "BACKGROUND_SPLASH"}) {
        ExpectImage(QLatin1String(name), 750, 500, 1);
    }
    ExpectImage(QStringLiteral("EXIT_BUTTONS"), 23, 69, 3);
    ExpectImage(QStringLiteral("CHANGEBRACELET_BUTTONS"), 127, 468, 4);
    // the main menu's task buttons can be disabled, so they carry a fourth frame
    for (const char* name : {"SETUPBRACELET_BUTTONS", "SETUPJEWELRYBOX_BUTTONS", "SETUPLCDGAME_BUTTONS",
                             "UPLOADFRIENDSHIP_BUTTONS", "UPLOADCHARM_BUTTONS", "UPLOAD_GLINT_POINTS_BUTTONS",
                             "REDEEM_GLINT_POINTS_BUTTONS"}) {
        const TableRow* row = FindRow(m_rows, QLatin1String(name));
        ASSERT_NE(row, nullptr) << name;
        EXPECT_EQ(row->frames, 4) << name;
        EXPECT_EQ(row->height, 468) << name << ": the task buttons share one row";
    }
    for (const char* name : {"POPUP_CANCEL_BUTTONS", "POPUP_NO_THANKS", "POPUP_CANCEL_FRIEND_BUTTONS",
                             "TELL_ME_MORE_BUTTONS", "WHATISTHIS_BUTTONS"}) {
        const TableRow* row = FindRow(m_rows, QLatin1String(name));
        ASSERT_NE(row, nullptr) << name;
        EXPECT_EQ(row->frames, 2) << name;
    }
    for (const char* name :
         {"DEVICE_ARROW_LEFT", "DEVICE_ARROW_RIGHT", "GLINTS_ARROW_LEFT", "GLINTS_ARROW_RIGHT"}) {
        const TableRow* row = FindRow(m_rows, QLatin1String(name));
        ASSERT_NE(row, nullptr) << name;
        EXPECT_EQ(row->frames, 1) << name;
    }
    for (const char* name :
         {"POPUP_QUICKPHRASE", "POPUP_CONGRATS", "POPUP_WARNING", "POPUP_OOPS", "POPUP_LETSBEFRIENDS",
          "POPUP_NEWGIFT", "POPUP_FRIENSHIPS", "POPUP_BRIGHTWING", "POPUP_SORRY", "POPUP_GLINTS_UPLOAD",
          "POPUP_BRACELET_READY", "POPUP_JEWELRY_BOX_READY"}) {
        ExpectImage(QLatin1String(name), 320, 83, 1);
    }
    for (const char* name : {"DEVICE_BRACELET", "DEVICE_LCDGAME", "DEVICE_JEWELRYBOX", "ACTION_ADD_FRIENDS",
                             "ACTION_REDEEM_POINTS"}) {
        ExpectImage(QLatin1String(name), 80, 80, 1);
    }
    for (const char* name : {"FAIRY", "FAIRY_BLUE", "FAIRY_GREEN", "FAIRY_YELLOW", "FAIRY_RED"}) {
        ExpectImage(QLatin1String(name), 48, 48, 1);
    }
    for (const char* name : {"TUTORIAL_BRACELET", "TUTORIAL_JEWELRY_BOX", "TUTORIAL_LCD_GAME"}) {
        ExpectImage(QLatin1String(name), 582, 312, 1);
    }
    for (int id = 1001; id <= 1040; ++id) {
        ExpectImage(QStringLiteral("CHARM_%1").arg(id), 89, 51, 1);
        EXPECT_NE(FindRow(m_rows, QStringLiteral("POPUP_CHARM_%1").arg(id)), nullptr) << id;
    }
    for (int id = 1; id <= 8; ++id) {
        ExpectImage(QStringLiteral("BUTTERFLY_%1").arg(id), 368, 56, 1);
        EXPECT_NE(FindRow(m_rows, QStringLiteral("POPUP_BUTTERFLY_%1").arg(id)), nullptr) << id;
    }
    for (int pixels : {16, 32, 48, 64, 128, 256}) {
        ExpectImage(QStringLiteral("128_%1").arg(pixels), pixels, pixels, 1);
    }
    for (const TableRow& row : m_rows) {
        if (row.name.endsWith(QLatin1String("_BUTTONS")) && row.frames != 4 && row.frames != 2) {
            EXPECT_EQ(row.frames, 3) << qPrintable(row.name) << ": ordinary buttons have three frames";
        }
    }
}

// Names of pictures and sounds as the code spells them: string literals such as
// "EXIT_BUTTONS", "BACKGROUND_MAIN", "POPUP_OOPS" or "CLOSE_SOUND".
TEST_F(ResourceTableTest, EveryResourceNameInTheCodeExists) {
    const QRegularExpression literal(QStringLiteral(
        "\"((?:BACKGROUND|POPUP|TUTORIAL)_[A-Z0-9_]*[A-Z0-9]|[A-Z][A-Z0-9_]*_(?:BUTTONS|IMAGE|SOUND))\""));
    int files = 0;
    for (const char* folder : {"Flow", "ThinUI", "Tools"}) {
        QDirIterator it(ResourceTests::SourceDir() + QLatin1Char('/') + QLatin1String(folder),
                        {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(file.fileName());
            ++files;
            const QString text = QString::fromUtf8(file.readAll());
            auto matches = literal.globalMatch(text);
            while (matches.hasNext()) {
                const QString name = matches.next().captured(1);
                EXPECT_NE(FindRow(m_rows, name), nullptr) << qPrintable(file.fileName()) << " names "
                                                          << qPrintable(name) << ", which is not a resource";
            }
        }
    }
    if (files == 0) {
        GTEST_SKIP() << "no screen code in this tree yet";
    }
}

} // namespace
