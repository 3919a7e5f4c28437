// The declaration and XPath helpers on any text.
#include "common/Xml/Parser.h"
#include "common/Xml/XmlExceptions.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string stripped = Xml::Parser::RemoveEncodingAttribute(input);
    if (stripped.size() > input.size()) {
        __builtin_trap();
    }
    try {
        if (Xml::Parser::FixMicrosoftXpathIndexing(input) != input) {
            __builtin_trap();
        }
    } catch (const Xml::XmlBadXpathException&) {
    }
    return 0;
}
