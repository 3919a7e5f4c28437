#include "Exception.h"

#include "Exceptions.h"
#include "Logger.h"

#include <cctype>

namespace Ex {

namespace {

std::string WithoutVowels(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case 'A':
        case 'E':
        case 'I':
        case 'O':
        case 'U':
        case 'a':
        case 'e':
        case 'i':
        case 'o':
        case 'u':
            break;
        default:
            result.push_back(c);
        }
    }
    return result;
}

bool HasXmlSpecialCharacter(const std::string& text) {
    return text.find_first_of("&<>'\"") != std::string::npos;
}

} // namespace

std::string QualifiedFunctionName(std::string_view pretty) {
    // Cut the parameter list: the first '(' that is not inside a template
    // argument list. "operator()" keeps its own parentheses.
    int depth = 0;
    std::size_t end = pretty.size();
    for (std::size_t i = 0; i < pretty.size(); ++i) {
        const char c = pretty[i];
        if (c == '<') {
            ++depth;
        } else if (c == '>' && depth > 0) {
            --depth;
        } else if (c == '(' && depth == 0) {
            if (i >= 8 && pretty.substr(i - 8, 8) == "operator" && pretty.substr(i, 2) == "()") {
                ++i;
                continue;
            }
            end = i;
            break;
        }
    }
    std::string_view head = pretty.substr(0, end);
    // The return type ends at the last blank outside template arguments.
    depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < head.size(); ++i) {
        const char c = head[i];
        if (c == '<') {
            ++depth;
        } else if (c == '>' && depth > 0) {
            --depth;
        } else if (c == ' ' && depth == 0) {
            start = i + 1;
        }
    }
    head = head.substr(start);
    while (!head.empty() && (head.front() == '*' || head.front() == '&')) {
        head.remove_prefix(1);
    }
    return std::string(head);
}

std::string FrameText(const StackFrame& frame) {
    return WithoutVowels(frame.function) + " (" + WithoutVowels(frame.file) + ":" +
           std::to_string(frame.line) + ")";
}

Exception::Exception(const Exception* cause) {
    if (cause != nullptr) {
        m_cause = cause->Clone();
    }
}

Exception::Exception(const Exception& other)
    : m_cause(other.m_cause), m_message(other.m_message.str(), std::ios_base::out | std::ios_base::ate),
      m_stack(other.m_stack) {}

Exception& Exception::operator=(const Exception& other) {
    if (this != &other) {
        m_cause = other.m_cause;
        m_message.str(other.m_message.str());
        m_message.seekp(0, std::ios_base::end);
        m_stack = other.m_stack;
    }
    return *this;
}

Exception::~Exception() = default;

void Exception::AddStackFrame(std::string file, std::string function, std::int32_t line) {
    m_stack.push_back(StackFrame{std::move(file), std::move(function), line});
}

std::string Exception::ToString() const {
    std::string result = GetName() + " : " + GetMessage();
    for (const StackFrame& frame : m_stack) {
        result += "\n    at " + FrameText(frame);
    }
    if (m_cause) {
        result += "\nCaused by: " + m_cause->ToString();
    }
    return result;
}

std::string Exception::CreateXMLNode(const std::string& name, const std::string& value,
                                     const std::string& nestedXml) {
    if (!nestedXml.empty() && !value.empty()) {
        throw Precondition("!( ( nestedXml.length() > 0 ) && ( value.length() > 0 ) )", EX_FRAME);
    }
    if (!value.empty()) {
        if (HasXmlSpecialCharacter(value)) {
            return "<" + name + "><![CDATA[" + value + "]]></" + name + ">\n";
        }
        return "<" + name + ">" + value + "</" + name + ">\n";
    }
    if (!nestedXml.empty()) {
        return "<" + name + ">\n" + nestedXml + "</" + name + ">\n";
    }
    return {};
}

std::string Exception::ToXml() const {
    std::string frames;
    for (const StackFrame& frame : m_stack) {
        const std::string fields = CreateXMLNode("functionname", frame.function, "") +
                                   CreateXMLNode("file", frame.file, "") +
                                   CreateXMLNode("line", std::to_string(frame.line), "");
        frames += CreateXMLNode("stackframe", "", fields) + "\n";
    }
    std::string nested = CreateXMLNode("name", GetName(), "") + CreateXMLNode("reason", GetMessage(), "") +
                         CreateXMLNode("stack", "", frames);
    if (m_cause) {
        nested += CreateXMLNode("cause", "", m_cause->ToXml());
    }
    return CreateXMLNode("exception", "", nested);
}

void Exception::Log(const std::string& message) const {
    if (message.empty()) {
        throw Precondition("message.length() > 0", EX_FRAME);
    }
    Logger* logger = GetLogger();
    switch (logger->GetStringFormat()) {
    case Logger::Text:
        logger->Log(message + "\n" + ToString());
        break;
    case Logger::Xml:
        logger->LogFormatted(CreateXMLNode("message", message, "") + ToXml());
        break;
    default:
        throw Assert("Invalid case encountered, \"invalid format\" = invalid format", EX_FRAME);
    }
}

void Exception::LogNoThrow(const std::string& message) const noexcept {
    try {
        Log(message);
    } catch (...) {
        // Logging is the last resort; there is nowhere left to report to.
    }
}

} // namespace Ex
