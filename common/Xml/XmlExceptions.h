#pragma once
// The failures of XML parsing and XPath queries.

#include "common/Ex/Exceptions.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Xml {

/// "Can't find Microsoft XML parser: CLSIDs that failed: \"A\" \"B\"..."
/// Raised when the parser library cannot be started; the list names what was tried.
class CantFindXmlParserException : public Ex::NamedException {
public:
    explicit CantFindXmlParserException(const std::vector<std::string>& candidates,
                                        const Ex::Exception* cause = nullptr);
    EX_EXCEPTION_BOILERPLATE(CantFindXmlParserException)
};

/// "Microsoft XML parser COM operation failed: \"OPERATION\", hresult: HEX"
/// The number is the parser library's error code.
class XmlComOperationFailedException : public Ex::NamedException {
public:
    XmlComOperationFailedException(const std::string& operation, std::uint32_t code,
                                   const Ex::Exception* cause = nullptr);
    EX_EXCEPTION_BOILERPLATE(XmlComOperationFailedException)
};

/// "Microsoft XML parser encountered a syntactical error in XML document:
/// error code = 0xHEX, file position = N, line number = N, line position = N,
/// reason = \"...\", source text = \"...\""
class XmlParseErrorException : public Ex::NamedException {
public:
    XmlParseErrorException(std::uint32_t errorCode, std::int64_t filePosition, std::int64_t line,
                           std::int64_t linePosition, const std::string& reason,
                           const std::string& sourceText, const Ex::Exception* cause = nullptr);
    std::uint32_t GetErrorCode() const { return m_errorCode; }
    EX_EXCEPTION_BOILERPLATE(XmlParseErrorException)

private:
    std::uint32_t m_errorCode;
};

/// "Invalid XML Xpath expression: xpath = \"XPATH\", reason = \"REASON\""
class XmlBadXpathException : public Ex::NamedException {
public:
    XmlBadXpathException(const std::string& xpath, const std::string& reason,
                         const Ex::Exception* cause = nullptr);
    EX_EXCEPTION_BOILERPLATE(XmlBadXpathException)
};

/// "XML Xpath query does not resolve to a single node: node \"XPATH\": N occurrences"
class XmlCantFindSingleNodeException : public Ex::NamedException {
public:
    XmlCantFindSingleNodeException(const std::string& xpath, std::int32_t count,
                                   const Ex::Exception* cause = nullptr);
    EX_EXCEPTION_BOILERPLATE(XmlCantFindSingleNodeException)
};

/// "XML Xpath query does not resolve to a leaf element: \"XPATH\""
class XmlNonLeafElementException : public Ex::NamedException {
public:
    explicit XmlNonLeafElementException(const std::string& xpath, const Ex::Exception* cause = nullptr);
    EX_EXCEPTION_BOILERPLATE(XmlNonLeafElementException)
};

/// "XML Xpath query does not resolve to an attribute: \"XPATH\""
class XmlNonAttributeException : public Ex::NamedException {
public:
    explicit XmlNonAttributeException(const std::string& xpath, const Ex::Exception* cause = nullptr);
    EX_EXCEPTION_BOILERPLATE(XmlNonAttributeException)
};

} // namespace Xml
