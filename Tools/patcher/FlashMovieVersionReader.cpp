#include "Tools/patcher/FlashMovieVersionReader.h"

#include "Tools/FlashWindowView.h"
#include "common/Ex/Exceptions.h"
#include "common/Xml/Parser.h"

#include <QApplication>
#include <QRect>
#include <QThread>
#include <QWidget>
#include <condition_variable>
#include <mutex>

namespace Glm {

namespace {

constexpr const char* kVersionRequest =
    "<invoke name=\"getMSVersionCompatible\" returntype=\"xml\"><arguments></arguments></invoke>";
constexpr const char* kContext = "Glm::Patcher::GetSWFVersion";

} // namespace

struct FlashMovieVersionReader::Control {
    std::mutex mutex;
    std::condition_variable changed;
    bool cancelled = false;
};

FlashMovieVersionReader::FlashMovieVersionReader(std::chrono::milliseconds limit)
    : m_control(std::make_shared<Control>()), m_limit(limit) {}

FlashMovieVersionReader::~FlashMovieVersionReader() {
    Cancel();
}

void FlashMovieVersionReader::Cancel() {
    {
        const std::lock_guard lock(m_control->mutex);
        m_control->cancelled = true;
    }
    m_control->changed.notify_all();
}

std::optional<std::string> FlashMovieVersionReader::ReadHere(const std::string& moviePath) {
    try {
        // Never on screen, but "shown", so the engine loads and runs the movie.
        QWidget host;
        host.setAttribute(Qt::WA_DontShowOnScreen);
        host.resize(105, 159);
        host.show();
        FlashWindowView view;
        view.CreateClientWindow(&host, QRect(0, 0, 105, 159));
        view.LoadUrl(moviePath);
        const std::string reply = view.CallFunction(kVersionRequest);
        view.DestroyClientWindow();
        Xml::Parser parser(reply);
        return parser.GetLeafElementText("string");
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow(kContext);
    } catch (const std::exception& caught) {
        Ex::StlException(caught).LogNoThrow(kContext);
    }
    return std::nullopt;
}

std::optional<std::string> FlashMovieVersionReader::ReadVersion(const std::string& moviePath) {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr) {
        return std::nullopt;
    }
    if (QThread::currentThread() == application->thread()) {
        return ReadHere(moviePath);
    }
    // The result travels in a shared block, so a caller that gave up leaves
    // nothing dangling for the interface thread to write to.
    struct Result {
        bool done = false;
        std::optional<std::string> version;
    };
    auto result = std::make_shared<Result>();
    std::shared_ptr<Control> control = m_control;
    {
        const std::lock_guard lock(control->mutex);
        if (control->cancelled) {
            return std::nullopt;
        }
    }
    QMetaObject::invokeMethod(
        application,
        [control, result, moviePath] {
            {
                const std::lock_guard lock(control->mutex);
                if (control->cancelled) {
                    return;
                }
            }
            std::optional<std::string> version = ReadHere(moviePath);
            {
                const std::lock_guard lock(control->mutex);
                result->version = std::move(version);
                result->done = true;
            }
            control->changed.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(control->mutex);
    control->changed.wait_for(lock, m_limit, [&] { return result->done || control->cancelled; });
    return result->done ? result->version : std::nullopt;
}

} // namespace Glm
