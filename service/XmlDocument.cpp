#include "XmlDocument.h"

#include <climits>
#include <libxml/parser.h>
#include <libxml/xpath.h>

namespace Service {

namespace {

struct ContextFree {
    void operator()(xmlXPathContext* context) const { xmlXPathFreeContext(context); }
};
struct ObjectFree {
    void operator()(xmlXPathObject* object) const { xmlXPathFreeObject(object); }
};

std::unique_ptr<xmlXPathObject, ObjectFree> Evaluate(xmlDoc* document, const std::string& xpath) {
    std::unique_ptr<xmlXPathContext, ContextFree> context(xmlXPathNewContext(document));
    if (!context) {
        return nullptr;
    }
    return std::unique_ptr<xmlXPathObject, ObjectFree>(
        xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(xpath.c_str()), context.get()));
}

std::string NodeText(xmlNode* node) {
    xmlChar* content = xmlNodeGetContent(node);
    std::string text = content ? reinterpret_cast<const char*>(content) : "";
    xmlFree(content);
    return text;
}

} // namespace

void XmlDocument::Free::operator()(_xmlDoc* document) const {
    xmlFreeDoc(document);
}

std::optional<XmlDocument> XmlDocument::Parse(std::string_view text) {
    if (text.size() > INT_MAX) {
        return std::nullopt;
    }
    xmlDoc* document = xmlReadMemory(text.data(), static_cast<int>(text.size()), "request.xml", nullptr,
                                     XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (document == nullptr) {
        return std::nullopt;
    }
    XmlDocument parsed(document);
    // A document type declaration is the door to entity tricks; the requests never need one.
    if (document->intSubset != nullptr || document->extSubset != nullptr ||
        xmlDocGetRootElement(document) == nullptr) {
        return std::nullopt;
    }
    return parsed;
}

std::string XmlDocument::Value(const std::string& xpath) const {
    const auto values = Values(xpath);
    return values.empty() ? std::string() : values.front();
}

std::vector<std::string> XmlDocument::Values(const std::string& xpath) const {
    std::vector<std::string> values;
    const auto object = Evaluate(m_document.get(), xpath);
    if (object && object->type == XPATH_NODESET && object->nodesetval != nullptr) {
        for (int i = 0; i < object->nodesetval->nodeNr; ++i) {
            values.push_back(NodeText(object->nodesetval->nodeTab[i]));
        }
    }
    return values;
}

int XmlDocument::Count(const std::string& xpath) const {
    const auto object = Evaluate(m_document.get(), xpath);
    if (!object || object->type != XPATH_NODESET || object->nodesetval == nullptr) {
        return 0;
    }
    return object->nodesetval->nodeNr;
}

} // namespace Service
