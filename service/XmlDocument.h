#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct _xmlDoc;

namespace Service {

/// A parsed request body. Parsing never touches the network, expands no external entities and
/// refuses DTDs, so a body cannot make the service read files or hosts.
class XmlDocument {
public:
    /// Parses `text`; returns nothing when it is not well-formed XML or carries a DTD.
    static std::optional<XmlDocument> Parse(std::string_view text);

    /// The string value of an XPath expression (empty when nothing matches).
    std::string Value(const std::string& xpath) const;
    /// The string values of every node an XPath expression selects, in document order.
    std::vector<std::string> Values(const std::string& xpath) const;
    /// Number of nodes an XPath expression selects.
    int Count(const std::string& xpath) const;

private:
    struct Free {
        void operator()(_xmlDoc* document) const;
    };
    explicit XmlDocument(_xmlDoc* document) : m_document(document) {}
    std::unique_ptr<_xmlDoc, Free> m_document;
};

} // namespace Service
