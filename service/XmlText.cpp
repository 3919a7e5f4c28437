#include "XmlText.h"

namespace Service {

std::string EscapeXml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') {
                out += '?';
            } else {
                out += c;
            }
        }
    }
    return out;
}

XmlWriter& XmlWriter::Open(std::string_view name, std::string_view attributes) {
    m_text.append("<").append(name).append(attributes).append(">");
    return *this;
}

XmlWriter& XmlWriter::Close(std::string_view name) {
    m_text.append("</").append(name).append(">");
    return *this;
}

XmlWriter& XmlWriter::Empty(std::string_view name, std::string_view attributes) {
    m_text.append("<").append(name).append(attributes).append("/>");
    return *this;
}

XmlWriter& XmlWriter::Leaf(std::string_view name, std::string_view text) {
    m_text.append("<").append(name).append(">").append(EscapeXml(text)).append("</").append(name).append(">");
    return *this;
}

XmlWriter& XmlWriter::Raw(std::string_view text) {
    m_text.append(text);
    return *this;
}

std::string XmlWriter::Attribute(std::string_view name, std::string_view value) {
    std::string out = " ";
    out.append(name).append("=\"").append(EscapeXml(value)).append("\"");
    return out;
}

} // namespace Service
