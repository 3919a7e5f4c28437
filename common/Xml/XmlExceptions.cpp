#include "common/Xml/XmlExceptions.h"

#include <ios>

namespace Xml {

CantFindXmlParserException::CantFindXmlParserException(const std::vector<std::string>& candidates,
                                                       const Ex::Exception* cause)
    : NamedException(cause) {
    Message() << "Can't find Microsoft XML parser: CLSIDs that failed: ";
    for (const std::string& candidate : candidates) {
        Message() << " \"" << candidate << "\"";
    }
}

XmlComOperationFailedException::XmlComOperationFailedException(const std::string& operation,
                                                               std::uint32_t code, const Ex::Exception* cause)
    : NamedException(cause) {
    Message() << "Microsoft XML parser COM operation failed: \"" << operation << "\", hresult: " << std::hex
              << code << std::dec;
}

XmlParseErrorException::XmlParseErrorException(std::uint32_t errorCode, std::int64_t filePosition,
                                               std::int64_t line, std::int64_t linePosition,
                                               const std::string& reason, const std::string& sourceText,
                                               const Ex::Exception* cause)
    : NamedException(cause), m_errorCode(errorCode) {
    Message() << "Microsoft XML parser encountered a syntactical error in XML document: "
              << "error code = 0x" << std::hex << errorCode << std::dec
              << ", file position = " << filePosition << ", line number = " << line
              << ", line position = " << linePosition << ", reason = \"" << reason << "\", source text = \""
              << sourceText << "\"";
}

XmlBadXpathException::XmlBadXpathException(const std::string& xpath, const std::string& reason,
                                           const Ex::Exception* cause)
    : NamedException(cause) {
    Message() << "Invalid XML Xpath expression: "
              << "xpath = \"" << xpath << "\", reason = \"" << reason << "\"";
}

XmlCantFindSingleNodeException::XmlCantFindSingleNodeException(const std::string& xpath, std::int32_t count,
                                                               const Ex::Exception* cause)
    : NamedException(cause) {
    Message() << "XML Xpath query does not resolve to a single node: "
              << "node \"" << xpath << "\": " << count << " occurrences";
}

XmlNonLeafElementException::XmlNonLeafElementException(const std::string& xpath, const Ex::Exception* cause)
    : NamedException(cause) {
    Message() << "XML Xpath query does not resolve to a leaf element: \"" << xpath << "\"";
}

XmlNonAttributeException::XmlNonAttributeException(const std::string& xpath, const Ex::Exception* cause)
    : NamedException(cause) {
    Message() << "XML Xpath query does not resolve to an attribute: \"" << xpath << "\"";
}

} // namespace Xml
