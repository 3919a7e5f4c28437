// The two Debian packages: built with cpack from this tree, unpacked with
// dpkg -x into a temporary root, their files checked by the desktop's own
// validators, and the installed application run against the installed
// service with a virtual toy until it has started its screens and listed
// the toy.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QString output;
};

// Runs program to its end (at most timeoutMs) with both streams merged.
Outcome RunProgram(const QString& program, const QStringList& arguments, int timeoutMs = 60000,
                   const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return {-1, QString::fromUtf8(process.readAll())};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAll())};
}

QString ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Ends process with SIGTERM (the application closes its frame), then kills.
void Stop(QProcess& process) {
    if (process.state() == QProcess::NotRunning) {
        return;
    }
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

// Makes a directory unwritable even for root (the immutable attribute), so
// the installed program sees its directory as under a packaged /usr; undone
// by the destructor. IsLocked is false where the attribute is not supported.
class ImmutableDirectory {
public:
    explicit ImmutableDirectory(const QString& path) : m_path(path) {
        m_locked = RunProgram("chattr", {"+i", m_path}).exitCode == 0;
    }
    ~ImmutableDirectory() {
        if (m_locked) {
            RunProgram("chattr", {"-i", m_path});
        }
    }
    ImmutableDirectory(const ImmutableDirectory&) = delete;
    ImmutableDirectory& operator=(const ImmutableDirectory&) = delete;
    bool IsLocked() const { return m_locked; }

private:
    QString m_path;
    bool m_locked = false;
};

class Packages : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_work = std::make_unique<QTemporaryDir>();
        const QString config = qEnvironmentVariable("GLM_CPACK_CONFIG");
        const Outcome built =
            RunProgram(QStringLiteral("cpack"), {"--config", config, "-B", s_work->filePath("out")}, 600000);
        s_buildLog = built.output;
        QDir out(s_work->filePath("out"));
        s_app = out.entryList({"glimmeries_*.deb"}, QDir::Files).value(0);
        s_service = out.entryList({"glimmeries-service_*.deb"}, QDir::Files).value(0);
        for (const QString& deb : {s_app, s_service}) {
            if (!deb.isEmpty()) {
                s_unpacked += RunProgram("dpkg", {"-x", out.filePath(deb), Root()}).exitCode == 0 ? 1 : 0;
            }
        }
    }
    static void TearDownTestSuite() { s_work.reset(); }

    static QString Root() { return s_work->filePath("root"); }
    static QString Installed(const QString& path) { return Root() + "/" + path; }
    static QString Deb(const QString& name) { return s_work->filePath("out") + "/" + name; }

    void SetUp() override {
        ASSERT_FALSE(s_app.isEmpty()) << s_buildLog.toStdString();
        ASSERT_FALSE(s_service.isEmpty()) << s_buildLog.toStdString();
        ASSERT_EQ(s_unpacked, 2);
    }

    static inline std::unique_ptr<QTemporaryDir> s_work;
    static inline QString s_buildLog;
    static inline QString s_app;
    static inline QString s_service;
    static inline int s_unpacked = 0;
};

TEST_F(Packages, HoldTheirFilesUnderUsrAndPassTheValidators) {
    const Outcome appFields =
        RunProgram("dpkg-deb", {"--field", Deb(s_app), "Package", "Version", "Depends", "Recommends"});
    EXPECT_TRUE(appFields.output.startsWith("Package: glimmeries\nVersion: 1.0.4.34\n"))
        << appFields.output.toStdString();
    EXPECT_TRUE(appFields.output.contains("libqt6webenginecore6")) << appFields.output.toStdString();
    // Qt's Wayland platform is loaded, not linked: only named, it comes along.
    EXPECT_TRUE(appFields.output.contains("qt6-wayland")) << appFields.output.toStdString();
    const Outcome serviceFields = RunProgram("dpkg-deb", {"--field", Deb(s_service), "Package", "Depends"});
    EXPECT_TRUE(serviceFields.output.startsWith("Package: glimmeries-service\n"));
    EXPECT_TRUE(serviceFields.output.contains("libsqlite3")) << serviceFields.output.toStdString();
    const Outcome appFiles = RunProgram("dpkg-deb", {"--contents", Deb(s_app)});
    EXPECT_FALSE(appFiles.output.contains("glimmeries-service")) << "the service has a package of its own";

    QStringList expected{"usr/bin/glimmeries",
                         "usr/bin/glmdev",
                         "usr/bin/glimmeries-toy",
                         "usr/bin/glimmeries-service",
                         "usr/share/applications/org.bramblemere.Glimmeries.desktop",
                         "usr/share/metainfo/org.bramblemere.Glimmeries.metainfo.xml",
                         "usr/lib/udev/rules.d/70-glimmeries-toys.rules",
                         "usr/share/man/man1/glimmeries.1",
                         "usr/share/man/man1/glmdev.1",
                         "usr/share/man/man1/glimmeries-toy.1",
                         "usr/share/man/man1/glimmeries-service.1"};
    for (const char* size : {"16x16", "32x32", "48x48", "64x64", "128x128", "256x256"}) {
        expected << QStringLiteral("usr/share/icons/hicolor/%1/apps/glimmeries.png").arg(QLatin1String(size));
    }
    for (const QString& path : expected) {
        EXPECT_TRUE(QFile::exists(Installed(path))) << path.toStdString();
    }

    const Outcome desktop = RunProgram(
        "desktop-file-validate", {Installed("usr/share/applications/org.bramblemere.Glimmeries.desktop")});
    EXPECT_EQ(desktop.exitCode, 0) << desktop.output.toStdString();
    EXPECT_TRUE(desktop.output.trimmed().isEmpty()) << desktop.output.toStdString();
    const Outcome metainfo =
        RunProgram("appstreamcli", {"validate", "--no-net",
                                    Installed("usr/share/metainfo/org.bramblemere.Glimmeries.metainfo.xml")});
    EXPECT_EQ(metainfo.exitCode, 0) << metainfo.output.toStdString();
    for (const char* page : {"glimmeries", "glmdev", "glimmeries-toy", "glimmeries-service"}) {
        const Outcome man = RunProgram(
            "man", {"--warnings", "-l",
                    Installed(QStringLiteral("usr/share/man/man1/%1.1").arg(QLatin1String(page)))});
        EXPECT_EQ(man.exitCode, 0) << page;
    }
}

TEST_F(Packages, TheInstalledApplicationStartsAgainstTheInstalledService) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Directories that do not exist yet, as for a user who never ran it.
    const QString home = s_work->filePath("home");
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME"}) {
        environment.remove(QLatin1String(variable));
    }
    environment.insert("HOME", home);
    environment.insert("GLIMMERIES_TOY_DIR", s_work->filePath("toys"));
    if (environment.contains("DISPLAY")) {
        environment.insert("QT_QPA_PLATFORM", "xcb");
    }

    const Outcome version = RunProgram(Installed("usr/bin/glimmeries"), {"--version"}, 30000, environment);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output.trimmed(), "glimmeries V1.0.4.34");
    const Outcome help = RunProgram(Installed("usr/bin/glimmeries"), {"--help"}, 30000, environment);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.output.contains("--version")) << help.output.toStdString();

    QProcess service;
    service.setProcessChannelMode(QProcess::MergedChannels);
    const QString serviceData = s_work->filePath("service");
    service.start(Installed("usr/bin/glimmeries-service"),
                  {"serve", "--data", serviceData, "--http-port", "0", "--https-port", "0"});
    ASSERT_TRUE(service.waitForReadyRead(20000));
    const QRegularExpressionMatch ports =
        QRegularExpression("listening http=(\\d+) https=(\\d+)").match(QString::fromUtf8(service.readLine()));
    ASSERT_TRUE(ports.hasMatch());
    const QString http = "http://127.0.0.1:" + ports.captured(1);
    const QString https = "https://127.0.0.1:" + ports.captured(2);

    // The application directory: beside the executable when that is
    // writable, else the XDG directories under home, as under /usr.
    std::unique_ptr<ImmutableDirectory> locked;
    if (::geteuid() == 0) {
        locked = std::make_unique<ImmutableDirectory>(Installed("usr/bin"));
    }
    const bool portable = ::access(Installed("usr/bin").toLocal8Bit().constData(), W_OK) == 0;
    if (portable) {
        std::fprintf(stderr, "note: the unpacked usr/bin is writable here; the program runs portable\n");
    }
    const QString configDirectory = portable ? Installed("usr/bin") : home + "/.config/glimmeries";
    const QString logDirectory = portable ? Installed("usr/bin") : home + "/.local/state/glimmeries";
    QDir().mkpath(configDirectory);
    QFile parameters(configDirectory + "/parameters.txt");
    ASSERT_TRUE(parameters.open(QIODevice::WriteOnly));
    parameters.write(("GLM_BASE_URL=" + https + "/api/\n" + "GLM_PATCHER_BASE_URL=" + http +
                      "/bramblemere/game/glimmeries/english/\n" + "GLM_REPORTING_URL=" + http +
                      "/b/ss/glmtest/1/%s?D=glm&gn=glimmeries:desktop:%s\n" +
                      "GLM_EXTRA_CA_FILE=" + serviceData + "/ca.pem\n")
                         .toUtf8());
    parameters.close();

    QProcess toy;
    toy.start(Installed("usr/bin/glimmeries-toy"), {"bracelet", "--dir", s_work->filePath("toys"), "--state",
                                                    s_work->filePath("toy.state"), "--detached"});
    ASSERT_TRUE(toy.waitForStarted(5000));

    QProcess application;
    application.setProcessEnvironment(environment);
    application.setProcessChannelMode(QProcess::MergedChannels);
    application.start(Installed("usr/bin/glimmeries"), {});
    ASSERT_TRUE(application.waitForStarted(10000));
    const QString logPath = logDirectory + "/Glimmeries.log";
    bool started = false;
    for (int poll = 0; poll < 600 && !started && application.state() == QProcess::Running; ++poll) {
        started = ReadFile(logPath).contains("Toy 0 (bracelet) plugged in");
        if (!started) {
            application.waitForFinished(100); // returns early only when it ends
        }
    }
    const QString log = ReadFile(logPath);
    EXPECT_TRUE(started) << log.toStdString() << QString::fromUtf8(application.readAll()).toStdString();
    EXPECT_TRUE(log.contains("V1.0.4.34"));
    EXPECT_TRUE(log.contains("Connecting to " + https + "/api/")) << log.toStdString();
    if (!portable) {
        EXPECT_TRUE(QDir(home + "/.local/share/glimmeries").exists()) << "made on first start";
        EXPECT_FALSE(QFile::exists(Installed("usr/bin/Glimmeries.log")));
    }
    Stop(application);
    EXPECT_EQ(application.exitCode(), 1) << "the frame closed, as by the tray's Exit";
    Stop(toy);
    Stop(service);
}

} // namespace
