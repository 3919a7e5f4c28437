#pragma once

#include "Logger.h"

#include <functional>
#include <string>

namespace Ex {

/// Shows each record in a modal message box. The box itself is drawn by a
/// presenter that the user interface installs; without one (tests,
/// command-line tools, before the UI exists) the record goes to stderr.
class MessageBoxLogger : public Logger {
public:
    using Presenter = std::function<void(const std::string& text)>;

    ~MessageBoxLogger() override = default;
    /// Always throws Ex::Assert "Invalid method for MessageBox Logger".
    void MoveContentsAndReOpen(const std::string& newFileName) override;
    StringFormat GetStringFormat() const override { return Text; }
    void Write(const std::string& formattedText) override;

    /// Installs (or, with an empty function, removes) the process-wide presenter.
    static void SetPresenter(Presenter presenter);
};

/// The fatal-error handler: logs the exception (when logIt), shows the fatal
/// text through a MessageBoxLogger and ends the process with exit code 1.
[[noreturn]] void FatalError(const std::string& functionName, const class Exception& exception, bool logIt);

} // namespace Ex
