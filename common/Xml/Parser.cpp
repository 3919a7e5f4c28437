#include "common/Xml/Parser.h"

#include "common/Xml/XmlExceptions.h"

#include <climits>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>
#include <libxml/xpath.h>
#include <memory>
#include <mutex>

namespace Xml {

namespace {

// The first error libxml2 reports while this thread parses.
struct CapturedError {
    bool set = false;
    int code = 0;
    int line = 0;
    int column = 0;
    std::string message;
};
thread_local CapturedError* t_capture = nullptr;

void CaptureStructuredError(void*, xmlErrorPtr error) {
    if (t_capture == nullptr || t_capture->set || error == nullptr || error->level < XML_ERR_ERROR) {
        return;
    }
    t_capture->set = true;
    t_capture->code = error->code;
    t_capture->line = error->line;
    t_capture->column = error->int2;
    t_capture->message = error->message != nullptr ? error->message : "";
    while (!t_capture->message.empty() &&
           (t_capture->message.back() == '\n' || t_capture->message.back() == '\r')) {
        t_capture->message.pop_back();
    }
}

void IgnoreGenericError(void*, const char*, ...) {}

// No document may make the parser open anything: every external entity or
// DTD request is answered with nothing.
xmlParserInputPtr RefuseExternalEntity(const char*, const char*, xmlParserCtxtPtr) {
    return nullptr;
}

// Silences libxml2's own error printing on this thread and routes errors to
// the capture while it lives.
class ErrorScope {
public:
    explicit ErrorScope(CapturedError& capture) : m_previous(t_capture) {
        t_capture = &capture;
        xmlSetStructuredErrorFunc(nullptr, &CaptureStructuredError);
        xmlSetGenericErrorFunc(nullptr, &IgnoreGenericError);
    }
    ~ErrorScope() { t_capture = m_previous; }
    ErrorScope(const ErrorScope&) = delete;
    ErrorScope& operator=(const ErrorScope&) = delete;

private:
    CapturedError* m_previous;
};

struct ContextDeleter {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};
struct XPathObjectDeleter {
    void operator()(xmlXPathObject* object) const { xmlXPathFreeObject(object); }
};
struct BufferDeleter {
    void operator()(xmlBuffer* buffer) const { xmlBufferFree(buffer); }
};
struct XmlCharDeleter {
    void operator()(xmlChar* text) const { xmlFree(text); }
};

constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

// The line of text (without its line end) on which the 1-based line lies,
// and the byte offset of that line's start.
std::string SourceLine(const std::string& text, int line, std::size_t& lineStart) {
    lineStart = 0;
    for (int current = 1; current < line; ++current) {
        const std::size_t next = text.find('\n', lineStart);
        if (next == std::string::npos) {
            break;
        }
        lineStart = next + 1;
    }
    std::size_t end = text.find_first_of("\r\n", lineStart);
    if (end == std::string::npos) {
        end = text.size();
    }
    return text.substr(lineStart, end - lineStart);
}

bool IsTextual(const xmlNode* node) {
    return node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE;
}

} // namespace

struct Parser::Selection {
    std::unique_ptr<xmlXPathObject, XPathObjectDeleter> object;
    int Count() const { return object->nodesetval != nullptr ? object->nodesetval->nodeNr : 0; }
    xmlNode* At(int index) const { return object->nodesetval->nodeTab[index]; }
};

void Parser::Init() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(&RefuseExternalEntity);
    });
}

Parser::Parser(const std::string& xml) {
    try {
        Init();
        if (xml.size() > static_cast<std::size_t>(INT_MAX)) {
            throw XmlParseErrorException(XML_ERR_NO_MEMORY, 0, 0, 0, "document too large", "");
        }
        std::unique_ptr<xmlParserCtxt, ContextDeleter> context(xmlNewParserCtxt());
        if (!context) {
            throw CantFindXmlParserException({std::string("libxml2 ") + xmlParserVersion});
        }
        auto load = [&](const std::string& text, CapturedError& capture) {
            ErrorScope scope(capture);
            return xmlCtxtReadMemory(context.get(), text.data(), static_cast<int>(text.size()), nullptr,
                                     nullptr, kParseOptions);
        };
        CapturedError first;
        m_document = load(xml, first);
        if (m_document == nullptr) {
            // A declared encoding that the library does not know (or that does
            // not match the bytes) is the usual reason; try once without it.
            const std::string retryText = RemoveEncodingAttribute(xml);
            CapturedError second;
            m_document = load(retryText, second);
            if (m_document == nullptr) {
                if (!second.set) {
                    second.code = XML_ERR_DOCUMENT_EMPTY;
                    second.message = "Document is empty";
                    second.line = 1;
                    second.column = 1;
                }
                std::size_t lineStart = 0;
                const std::string source = SourceLine(retryText, second.line, lineStart);
                const std::int64_t position =
                    static_cast<std::int64_t>(lineStart) + (second.column > 0 ? second.column - 1 : 0);
                throw XmlParseErrorException(static_cast<std::uint32_t>(second.code), position, second.line,
                                             second.column, second.message, source);
            }
        }
        m_xpathContext = xmlXPathNewContext(m_document);
        if (m_xpathContext == nullptr) {
            throw XmlComOperationFailedException("xmlXPathNewContext", XML_ERR_NO_MEMORY);
        }
    } catch (Ex::Exception& e) {
        xmlXPathFreeContext(m_xpathContext);
        xmlFreeDoc(m_document);
        e.AddStackFrame(EX_FRAME);
        throw;
    }
}

Parser::~Parser() {
    xmlXPathFreeContext(m_xpathContext);
    xmlFreeDoc(m_document);
}

Parser::Selection Parser::Select(const std::string& xpath) {
    const std::string fixed = FixMicrosoftXpathIndexing(xpath);
    CapturedError capture;
    ErrorScope scope(capture);
    // Relative paths ("A/b") start at the document, as with a DOM document's
    // selectNodes: a context without a node makes them select nothing. Set
    // before every query so no earlier evaluation can move the start.
    m_xpathContext->node = reinterpret_cast<xmlNode*>(m_document);
    Selection selection;
    selection.object.reset(
        xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(fixed.c_str()), m_xpathContext));
    if (!selection.object) {
        throw XmlComOperationFailedException(
            "IXMLDOMDocument::selectNodes",
            static_cast<std::uint32_t>(capture.set ? capture.code : XML_XPATH_EXPR_ERROR));
    }
    if (selection.object->type != XPATH_NODESET) {
        throw XmlComOperationFailedException("IXMLDOMDocument::selectNodes", XML_XPATH_INVALID_TYPE);
    }
    for (int i = 0; i < selection.Count(); ++i) {
        // Namespace nodes are copies that die with the selection: no caller
        // could hold one, so they are refused outright.
        if (selection.At(i)->type == XML_NAMESPACE_DECL) {
            throw XmlComOperationFailedException("IXMLDOMNodeList::get_item", XML_XPATH_INVALID_TYPE);
        }
    }
    return selection;
}

std::int32_t Parser::GetNodeCount(const std::string& xpath) {
    try {
        return Select(xpath).Count();
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

Node Parser::FindSingleNode(const std::string& xpath) {
    try {
        const Selection selection = Select(xpath);
        if (selection.Count() != 1) {
            throw XmlCantFindSingleNodeException(xpath, selection.Count());
        }
        return selection.At(0);
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

Node Parser::FindLeafElement(const std::string& xpath) {
    try {
        Node node = FindSingleNode(xpath);
        const bool hasChildren = node->type == XML_ELEMENT_NODE || node->type == XML_ATTRIBUTE_NODE ||
                                 node->type == XML_DOCUMENT_NODE;
        if (hasChildren) {
            for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
                if (!IsTextual(child)) {
                    throw XmlNonLeafElementException(xpath);
                }
            }
        }
        return node;
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

std::string Parser::GetLeafElementText(const std::string& xpath) {
    try {
        Node node = FindLeafElement(xpath);
        std::unique_ptr<xmlChar, XmlCharDeleter> content(xmlNodeGetContent(node));
        return content ? std::string(reinterpret_cast<const char*>(content.get())) : std::string();
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

std::string Parser::GetAttribute(const std::string& xpath) {
    try {
        if (FindLeafElement(xpath)->type != XML_ATTRIBUTE_NODE) {
            throw XmlNonAttributeException(xpath);
        }
        return GetLeafElementText(xpath);
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

std::string Parser::GetNodeAsXml(const std::string& xpath) {
    try {
        Node node = FindSingleNode(xpath);
        std::unique_ptr<xmlBuffer, BufferDeleter> buffer(xmlBufferCreate());
        if (!buffer) {
            throw XmlComOperationFailedException("IXMLDOMNode::get_xml", XML_ERR_NO_MEMORY);
        }
        if (node->type == XML_DOCUMENT_NODE) {
            node = xmlDocGetRootElement(m_document);
            if (node == nullptr) {
                return std::string();
            }
        }
        CapturedError capture;
        ErrorScope scope(capture);
        if (xmlNodeDump(buffer.get(), m_document, node, 0, 0) < 0) {
            throw XmlComOperationFailedException(
                "IXMLDOMNode::get_xml",
                static_cast<std::uint32_t>(capture.set ? capture.code : XML_ERR_INTERNAL_ERROR));
        }
        std::string text(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())),
                         static_cast<std::size_t>(xmlBufferLength(buffer.get())));
        if (node->type == XML_ATTRIBUTE_NODE && !text.empty() && text.front() == ' ') {
            text.erase(0, 1);
        }
        return text;
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

std::string Parser::RemoveEncodingAttribute(const std::string& text) {
    try {
        const std::size_t declaration = text.find("<?xml");
        if (declaration == std::string::npos) {
            return text;
        }
        const std::size_t declarationEnd = text.find("?>", declaration);
        if (declarationEnd == std::string::npos) {
            return text;
        }
        const std::size_t encoding = text.find("encoding", declaration);
        if (encoding == std::string::npos || encoding >= declarationEnd) {
            return text;
        }
        const std::size_t openQuote = text.find('"', encoding);
        if (openQuote == std::string::npos) {
            return text;
        }
        const std::size_t closeQuote = text.find('"', openQuote + 1);
        if (closeQuote == std::string::npos || closeQuote > declarationEnd) {
            return text;
        }
        return text.substr(0, encoding) + text.substr(closeQuote + 1);
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

std::string Parser::FixMicrosoftXpathIndexing(const std::string& xpath) {
    try {
        std::size_t position = 0;
        for (;;) {
            const std::size_t open = xpath.find('[', position);
            if (open == std::string::npos) {
                return xpath;
            }
            const std::size_t close = xpath.find(']', open + 1);
            if (close == std::string::npos) {
                throw XmlBadXpathException(xpath, "missing ']'");
            }
            const std::string predicate = xpath.substr(open + 1, close - open - 1);
            if (predicate.find_first_not_of("0123456789") != std::string::npos) {
                throw XmlBadXpathException(xpath, "The expression '[" + predicate +
                                                      "]' cannot be fixed to work with older versions of the "
                                                      "Microsoft XML parser");
            }
            position = close + 1;
        }
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

} // namespace Xml
