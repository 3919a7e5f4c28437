// Separate processes: the single-instance rule and the fault re-execution.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

namespace {

QString Probe() {
    return QString::fromLocal8Bit(qgetenv("GLM_BUILD_DIR")) + QStringLiteral("/bin/flow_probe");
}

bool StartFirst(QProcess& process, const QString& program, const QString& directory,
                const QString& fallback = {}) {
    QStringList arguments{QStringLiteral("instance"), directory};
    if (!fallback.isEmpty()) {
        arguments << fallback;
    }
    process.start(program, arguments);
    return process.waitForStarted(5000) && process.waitForReadyRead(10000) &&
           process.readLine().trimmed() == "first";
}

TEST(SingleInstanceTest, ASecondStartShowsTheFirstAndExitsZero) {
    QTemporaryDir directory;
    QProcess first;
    ASSERT_TRUE(StartFirst(first, Probe(), directory.path()));
    QProcess second;
    second.start(Probe(), {QStringLiteral("instance"), directory.path()});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.readAll().startsWith("second delivered"));
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_TRUE(first.readAll().contains("shown"));
}

TEST(SingleInstanceTest, CopiesUnderAnotherNameRunSideBySideAndAKilledFirstLeavesNothingBehind) {
    QTemporaryDir directory;
    const QString copy = directory.filePath(QStringLiteral("other_probe"));
    ASSERT_TRUE(QFile::copy(Probe(), copy));
    QProcess first;
    ASSERT_TRUE(StartFirst(first, Probe(), directory.path()));
    QProcess other;
    EXPECT_TRUE(StartFirst(other, copy, directory.path())) << "a different file name is another instance";

    first.kill();
    first.waitForFinished(5000);
    QProcess next;
    EXPECT_TRUE(StartFirst(next, Probe(), directory.path()))
        << "the killed instance's lock and socket are gone";
    next.kill();
    other.kill();
    next.waitForFinished(5000);
    other.waitForFinished(5000);
}

// Even as root (where permissions do not stop a write) a lock cannot be made
// below a plain file, so that stands for an unwritable runtime directory.
TEST(SingleInstanceTest, AnUnusableRuntimeDirectoryMovesTheLockToAPrivateFallback) {
    QTemporaryDir directory;
    const QString notADirectory = directory.filePath(QStringLiteral("file"));
    QFile file(notADirectory);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString fallback = directory.filePath(QStringLiteral("fallback"));

    QProcess first;
    ASSERT_TRUE(StartFirst(first, Probe(), notADirectory, fallback));
    EXPECT_TRUE(QFile::exists(fallback + QStringLiteral("/flow_probe.lock")));
    EXPECT_EQ(QFile::permissions(fallback) & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                              QFile::ReadOther | QFile::WriteOther | QFile::ExeOther),
              QFile::Permissions());
    EXPECT_TRUE(first.readAllStandardError().contains("cannot create the lock file"));

    QProcess second;
    second.start(Probe(), {QStringLiteral("instance"), notADirectory, fallback});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.readAllStandardOutput().startsWith("second delivered"));
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_TRUE(first.readAllStandardOutput().contains("shown"));
}

TEST(SingleInstanceTest, WithNoUsableDirectoryTheProgramStartsUnlockedAndSaysWhy) {
    QTemporaryDir directory;
    const QString notADirectory = directory.filePath(QStringLiteral("file"));
    QFile file(notADirectory);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    // A fallback that is a link to a directory is refused: it could be anyone's.
    ASSERT_TRUE(QDir(directory.path()).mkdir(QStringLiteral("elsewhere")));
    const QString link = directory.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(directory.filePath(QStringLiteral("elsewhere")), link));

    QProcess first;
    ASSERT_TRUE(StartFirst(first, Probe(), notADirectory, link));
    first.kill();
    first.waitForFinished(5000);
    const QByteArray problem = first.readAllStandardError();
    EXPECT_TRUE(problem.contains("running without the single-instance lock")) << problem.constData();
    EXPECT_TRUE(problem.contains("not a private directory")) << problem.constData();
    EXPECT_FALSE(QFile::exists(directory.filePath(QStringLiteral("elsewhere/flow_probe.lock"))));
}

TEST(FaultHandlerTest, AProcessorFaultIsLoggedAndTheProgramRunsAgain) {
    QTemporaryDir directory;
    const QString log = directory.filePath(QStringLiteral("Glimmeries.log"));
    QProcess probe;
    probe.start(Probe(), {QStringLiteral("fault"), log});
    ASSERT_TRUE(probe.waitForFinished(10000));
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(probe.exitCode(), 0);
    EXPECT_TRUE(probe.readAllStandardOutput().contains("restarted"));
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("Processor fault: signal 11 (SEGV)"));
}

// An interface that fails at every start, by an exception or a processor
// fault: three restarts with the critical-error box, then the fatal-error
// box (no presenter here, so on standard error), the log and exit code 1.
TEST(RestartLimitTest, AFailureAtEveryStartRestartsThreeTimesThenEndsWithOne) {
    for (const char* mode : {"throw-loop", "fault-loop"}) {
        SCOPED_TRACE(mode);
        QTemporaryDir directory;
        QProcess probe;
        probe.start(Probe(), {QString::fromLatin1(mode), directory.path()});
        ASSERT_TRUE(probe.waitForFinished(60000));
        EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(probe.exitCode(), 1);
        EXPECT_EQ(probe.readAllStandardOutput().count("restart\n"), 3);
        const QByteArray errors = probe.readAllStandardError();
        EXPECT_TRUE(
            errors.contains("A fatal error has been detected and the application must be terminated."))
            << errors.toStdString();
        QFile file(directory.filePath(QStringLiteral("Glimmeries.log")));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray log = file.readAll();
        EXPECT_TRUE(log.contains("The user interface failed again after 3 restarts within 60 seconds."));
        const QByteArray failure = std::string(mode) == "throw-loop" ? "injected failure at every start"
                                                                     : "Processor fault: signal 11";
        EXPECT_EQ(log.count(failure), 4) << log.toStdString();
    }
}

} // namespace
