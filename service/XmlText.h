#pragma once

#include <string>
#include <string_view>

namespace Service {

/// Escapes text for XML and HTML element content and quoted attribute values (& < > " ').
/// Bytes that XML 1.0 does not allow (control characters other than tab, CR and LF) become '?'
/// so an answer stays well-formed whatever was stored.
std::string EscapeXml(std::string_view text);

/// A small writer for the service's answers: elements are opened and closed in order.
class XmlWriter {
public:
    /// Opens an element; `attributes` is already-escaped text (use Attribute()).
    XmlWriter& Open(std::string_view name, std::string_view attributes = {});
    XmlWriter& Close(std::string_view name);
    /// <name attributes/>
    XmlWriter& Empty(std::string_view name, std::string_view attributes = {});
    /// <name>escaped text</name>
    XmlWriter& Leaf(std::string_view name, std::string_view text);
    XmlWriter& Raw(std::string_view text);
    const std::string& Text() const { return m_text; }

    /// ` name="escaped value"`
    static std::string Attribute(std::string_view name, std::string_view value);

private:
    std::string m_text;
};

} // namespace Service
