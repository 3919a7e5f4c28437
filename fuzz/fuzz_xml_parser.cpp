// Any bytes as an XML answer, queried the way the web service client does.
// The first line, when the input has one, is used as an extra XPath.
#include "common/Xml/Parser.h"
#include "common/Xml/XmlExceptions.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t lineEnd = input.find('\n');
    const std::string xpath = lineEnd == std::string::npos ? "/*" : input.substr(0, lineEnd);
    const std::string document = lineEnd == std::string::npos ? input : input.substr(lineEnd + 1);
    try {
        Xml::Parser parser(document);
        for (const std::string& query : {xpath, std::string("/*"), std::string("/*/*[1]"),
                                         std::string("//@*"), std::string("/*/text()")}) {
            try {
                parser.GetNodeCount(query);
                parser.GetNodeAsXml(query);
                parser.GetLeafElementText(query);
                parser.GetAttribute(query);
            } catch (const Ex::NamedException&) {
            }
        }
    } catch (const Ex::NamedException&) {
    }
    return 0;
}
