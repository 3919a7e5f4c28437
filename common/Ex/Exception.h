#pragma once
// The root of every failure the application reports: a message, an optional
// cause (so failures chain) and the stack frames that catching code adds on
// the way up.

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace Ex {

struct StackFrame {
    std::string file;     // source path as the compiler gives it
    std::string function; // qualified name, e.g. "Ex::Logger::Log"
    std::int32_t line = 0;
};

/// Turns __PRETTY_FUNCTION__ into the qualified name without return type and
/// parameters ("void Ex::Logger::Log(const string&)" -> "Ex::Logger::Log").
std::string QualifiedFunctionName(std::string_view prettyFunction);

/// The frame text used by ToString, Assert and Precondition: function and file
/// with every vowel removed, then " (" file ":" line ")".
std::string FrameText(const StackFrame& frame);

class Exception {
public:
    virtual ~Exception();

    /// Unqualified class name, e.g. "CantOpenLogFileException".
    virtual std::string GetName() const = 0;
    /// Heap copy of the most-derived object.
    virtual std::shared_ptr<Exception> Clone() const = 0;
    /// Throws a copy of the most-derived object.
    [[noreturn]] virtual void Throw() const = 0;

    void AddStackFrame(std::string file, std::string function, std::int32_t line);
    void AddStackFrame(const StackFrame& frame) { m_stack.push_back(frame); }

    /// Class name, " : ", message, one "\n    at FRAME" per frame, then
    /// "\nCaused by: " and the cause's text, recursively.
    std::string ToString() const;
    /// The "exception" element with name, reason, stack and cause.
    std::string ToXml() const;
    /// One XML element; a value with & < > ' " becomes CDATA. Throws
    /// Ex::Precondition when both value and nestedXml are given.
    static std::string CreateXMLNode(const std::string& name, const std::string& value,
                                     const std::string& nestedXml);

    /// Writes message plus this exception to the current logger. Throws
    /// Ex::Precondition for an empty message, and whatever the logger throws.
    void Log(const std::string& message) const;
    /// Log, swallowing any failure of the logging itself.
    void LogNoThrow(const std::string& message) const noexcept;

    /// The message stream: throwing code appends further text with <<.
    std::ostringstream& Message() { return m_message; }
    std::string GetMessage() const { return m_message.str(); }
    const std::shared_ptr<Exception>& GetCause() const { return m_cause; }
    const std::vector<StackFrame>& GetStack() const { return m_stack; }

protected:
    explicit Exception(const Exception* cause = nullptr);
    Exception(const Exception& other);
    Exception& operator=(const Exception& other);

private:
    std::shared_ptr<Exception> m_cause;
    std::ostringstream m_message;
    std::vector<StackFrame> m_stack;
};

} // namespace Ex

// The location of the code that uses it, as a StackFrame.
#define EX_FRAME                                                                                             \
    ::Ex::StackFrame {                                                                                       \
        __FILE__, ::Ex::QualifiedFunctionName(__PRETTY_FUNCTION__), __LINE__                                 \
    }

// Implements GetName, Clone and Throw for a concrete exception class.
#define EX_EXCEPTION_BOILERPLATE(ClassName)                                                                  \
    std::string GetName() const override {                                                                   \
        return #ClassName;                                                                                   \
    }                                                                                                        \
    std::shared_ptr<::Ex::Exception> Clone() const override {                                                \
        return std::make_shared<ClassName>(*this);                                                           \
    }                                                                                                        \
    [[noreturn]] void Throw() const override {                                                               \
        throw ClassName(*this);                                                                              \
    }

// Declares an exception class whose message the throwing code writes.
#define EX_DECLARE_EXCEPTION(ClassName, BaseName)                                                            \
    class ClassName : public BaseName {                                                                      \
    public:                                                                                                  \
        explicit ClassName(const ::Ex::Exception* cause = nullptr) : BaseName(cause) {}                      \
        EX_EXCEPTION_BOILERPLATE(ClassName)                                                                  \
    }
