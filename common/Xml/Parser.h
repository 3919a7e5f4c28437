#pragma once
// One XML document held in memory, answering XPath 1.0 questions about it.
// Every XPath is evaluated with the document node as its context node, so a
// relative path "A/b" selects what "/A/b" does.
// Parsing never touches the network or the file system: no DTD is loaded,
// no external entity is read, and entities are not substituted, so a
// document cannot make the parser read a local file or expand itself
// without bound.

#include <cstdint>
#include <libxml/tree.h>
#include <string>

struct _xmlXPathContext;

namespace Xml {

/// A node of the parser's document; valid while the parser lives.
using Node = xmlNode*;

class Parser {
public:
    /// Parses xml (UTF-8 unless its declaration says otherwise). When the
    /// text does not load, it is tried once more without the declaration's
    /// encoding attribute. Throws Xml::XmlParseErrorException (code,
    /// position, reason and the offending line) when that fails too.
    explicit Parser(const std::string& xml);
    ~Parser();
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    /// Readies the parser library for this thread; done by the constructor.
    static void Init();

    /// Number of nodes the XPath selects (0 when none). Throws
    /// Xml::XmlBadXpathException for a predicate other than a number and
    /// Xml::XmlComOperationFailedException ("IXMLDOMDocument::selectNodes")
    /// for an expression that is not valid or does not select nodes.
    std::int32_t GetNodeCount(const std::string& xpath);
    /// The one node the XPath selects; Xml::XmlCantFindSingleNodeException
    /// for none or several.
    Node FindSingleNode(const std::string& xpath);
    /// FindSingleNode, and the node may hold nothing but text and CDATA;
    /// otherwise Xml::XmlNonLeafElementException.
    Node FindLeafElement(const std::string& xpath);
    /// The text of FindLeafElement (UTF-8, whitespace kept).
    std::string GetLeafElementText(const std::string& xpath);
    /// The value of the attribute the XPath selects; a node that is not an
    /// attribute is Xml::XmlNonAttributeException.
    std::string GetAttribute(const std::string& xpath);
    /// The markup of FindSingleNode (an attribute as name="value").
    std::string GetNodeAsXml(const std::string& xpath);

    /// The text with the encoding attribute cut out of its XML declaration
    /// (values in double quotes only); unchanged when there is none.
    static std::string RemoveEncodingAttribute(const std::string& text);
    /// Checks that every predicate of the XPath is a number (or empty) and
    /// returns the XPath: this parser numbers positions from 1, as XPath
    /// does. Throws Xml::XmlBadXpathException with reason "missing ']'" for
    /// an unclosed predicate, and for any other predicate.
    static std::string FixMicrosoftXpathIndexing(const std::string& xpath);

private:
    // Nodes the fixed XPath selects; the returned object owns the node list.
    struct Selection;
    Selection Select(const std::string& xpath);

    xmlDoc* m_document = nullptr;
    _xmlXPathContext* m_xpathContext = nullptr;
};

} // namespace Xml
