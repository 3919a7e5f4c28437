// The committed pictures, sounds, resource list and table are what the generator of this tree
// makes: data files byte for byte, pictures within the tolerance of ArtComparison.h.

#include "ArtComparison.h"
#include "ResourceTable.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(ReproducibleArtTest, GeneratorRecreatesTheCommittedFiles) {
    const QString generator = qEnvironmentVariable("GLM_BUILD_DIR") + QStringLiteral("/bin/glm_artgen");
    if (!QFile::exists(generator)) {
        GTEST_SKIP() << "no generator at " << qPrintable(generator);
    }
    const QString resources = ResourceTests::SourceDir() + QStringLiteral("/resources");
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    ASSERT_TRUE(
        QFile::copy(resources + QStringLiteral("/README.md"), out.filePath(QStringLiteral("README.md"))));

    QProcess process;
    process.start(generator, {QStringLiteral("--out"), out.filePath(QStringLiteral("art")),
                              QStringLiteral("--readme"), out.filePath(QStringLiteral("README.md"))});
    ASSERT_TRUE(process.waitForFinished(120000)) << "the generator did not finish";
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();

    int compared = 0;
    QDirIterator it(out.filePath(QStringLiteral("art")), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString made = it.next();
        const QString relative = QDir(out.filePath(QStringLiteral("art"))).relativeFilePath(made);
        const QByteArray committed = ReadAll(resources + QLatin1Char('/') + relative);
        if (ResourceTests::IsPictureFile(relative)) {
            const QString difference = ResourceTests::ComparePictureFiles(ReadAll(made), committed);
            EXPECT_TRUE(difference.isEmpty())
                << qPrintable(relative) << ": " << qPrintable(difference) << ": run make art";
        } else {
            EXPECT_TRUE(ReadAll(made) == committed)
                << qPrintable(relative) << " differs from the committed file: run make art";
        }
        ++compared;
    }
    EXPECT_GT(compared, 200);
    EXPECT_TRUE(ReadAll(out.filePath(QStringLiteral("README.md"))) ==
                ReadAll(resources + QStringLiteral("/README.md")))
        << "the resource table of resources/README.md is stale: run make art";
}

} // namespace
