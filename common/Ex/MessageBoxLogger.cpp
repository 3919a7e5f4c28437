#include "MessageBoxLogger.h"

#include "Exceptions.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace Ex {

namespace {

std::mutex g_presenterMutex;
MessageBoxLogger::Presenter& PresenterSlot() {
    static MessageBoxLogger::Presenter presenter;
    return presenter;
}

} // namespace

void MessageBoxLogger::SetPresenter(Presenter presenter) {
    std::lock_guard lock(g_presenterMutex);
    PresenterSlot() = std::move(presenter);
}

void MessageBoxLogger::MoveContentsAndReOpen(const std::string& /*newFileName*/) {
    throw Assert("Invalid method for MessageBox Logger", EX_FRAME);
}

void MessageBoxLogger::Write(const std::string& formattedText) {
    Presenter presenter;
    {
        std::lock_guard lock(g_presenterMutex);
        presenter = PresenterSlot();
    }
    if (presenter) {
        presenter(formattedText);
        return;
    }
    std::fprintf(stderr, "%s\n", formattedText.c_str());
    std::fflush(stderr);
}

void FatalError(const std::string& functionName, const Exception& exception, bool logIt) {
    if (logIt) {
        exception.LogNoThrow(functionName);
    }
    const std::string text = "A fatal error has been detected and the application must be terminated.\n\n" +
                             exception.ToString() + "\n\nClick OK exit.";
    try {
        MessageBoxLogger box;
        box.Log(text);
    } catch (...) {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    // Other threads may still run; static destructors must not race them.
    std::fflush(nullptr);
    std::_Exit(1);
}

} // namespace Ex
