#include "common/Xml/Parser.h"

#include "common/Xml/XmlExceptions.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const char* const kAnswer = "<?xml version=\"1.0\"?>\n"
                            "<answer code=\"0\">\n"
                            "  <fairy id=\"7\"><name>  Lumi Brightwing </name></fairy>\n"
                            "  <fairy id=\"9\"><name/></fairy>\n"
                            "  <note><![CDATA[a < b & c]]></note>\n"
                            "</answer>";

template <class E, class Action>
std::string MessageOf(Action action) {
    try {
        action();
    } catch (const E& e) {
        return e.GetMessage();
    }
    ADD_FAILURE() << "nothing thrown";
    return {};
}

TEST(XmlParserTest, CountsAndFindsNodes) {
    Xml::Parser parser(kAnswer);
    EXPECT_EQ(parser.GetNodeCount("/answer/fairy"), 2);
    EXPECT_EQ(parser.GetNodeCount("/answer/toy"), 0);
    EXPECT_EQ(parser.GetLeafElementText("/answer/fairy[1]/name"), "  Lumi Brightwing ");
    EXPECT_EQ(parser.GetLeafElementText("/answer/fairy[2]/name"), "");
    EXPECT_EQ(parser.GetLeafElementText("/answer/note"), "a < b & c");
    EXPECT_EQ(parser.GetAttribute("/answer/fairy[2]/@id"), "9");
    EXPECT_EQ(parser.GetAttribute("/answer/@code"), "0");
    EXPECT_EQ(parser.GetNodeAsXml("/answer/fairy[2]"), "<fairy id=\"9\"><name/></fairy>");
    EXPECT_EQ(parser.GetNodeAsXml("/answer/fairy[1]/@id"), "id=\"7\"");

    EXPECT_EQ(MessageOf<Xml::XmlCantFindSingleNodeException>([&] { parser.FindSingleNode("/answer/toy"); }),
              "XML Xpath query does not resolve to a single node: node \"/answer/toy\": 0 occurrences");
    EXPECT_EQ(MessageOf<Xml::XmlCantFindSingleNodeException>([&] { parser.GetLeafElementText("//name"); }),
              "XML Xpath query does not resolve to a single node: node \"//name\": 2 occurrences");
    EXPECT_EQ(
        MessageOf<Xml::XmlNonLeafElementException>([&] { parser.GetLeafElementText("/answer/fairy[1]"); }),
        "XML Xpath query does not resolve to a leaf element: \"/answer/fairy[1]\"");
    EXPECT_EQ(MessageOf<Xml::XmlNonAttributeException>([&] { parser.GetAttribute("/answer/note"); }),
              "XML Xpath query does not resolve to an attribute: \"/answer/note\"");
    EXPECT_THROW(parser.GetNodeCount("count(/answer)"), Xml::XmlComOperationFailedException);
    EXPECT_EQ(
        MessageOf<Xml::XmlComOperationFailedException>([&] {
            parser.GetNodeCount("/answer/(");
        }).rfind("Microsoft XML parser COM operation failed: \"IXMLDOMDocument::selectNodes\", hresult: ", 0),
        0u);
    try {
        parser.FindSingleNode("/answer/toy");
    } catch (const Ex::Exception& e) {
        ASSERT_FALSE(e.GetStack().empty());
        EXPECT_EQ(e.GetStack().back().function, "Xml::Parser::FindSingleNode");
    }
}

TEST(XmlParserTest, RelativePathsStartAtTheDocument) {
    Xml::Parser parser("<A><success>true</success><error code=\"17\"/><B><success>no</success></B></A>");
    EXPECT_EQ(parser.GetNodeCount("A"), 1);
    EXPECT_EQ(parser.GetNodeCount("A/success"), 1);
    EXPECT_EQ(parser.GetNodeCount("success"), 0) << "only the root element is a child of the document";
    EXPECT_EQ(parser.GetNodeCount("A/B/success"), 1);
    EXPECT_EQ(parser.GetNodeCount(".//success"), 2);
    EXPECT_EQ(parser.FindSingleNode("A/success"), parser.FindSingleNode("/A/success"));
    EXPECT_EQ(parser.FindLeafElement("A/B/success"), parser.FindLeafElement("/A/B/success"));
    EXPECT_EQ(parser.GetLeafElementText("A/success"), "true");
    EXPECT_EQ(parser.GetAttribute("A/error/@code"), "17");
    EXPECT_EQ(parser.GetAttribute("/A/error/@code"), "17");
    EXPECT_EQ(parser.GetNodeAsXml("A/error"), "<error code=\"17\"/>");
    EXPECT_EQ(MessageOf<Xml::XmlCantFindSingleNodeException>([&] { parser.FindSingleNode("B"); }),
              "XML Xpath query does not resolve to a single node: node \"B\": 0 occurrences");
    EXPECT_THROW(parser.FindLeafElement("A/B"), Xml::XmlNonLeafElementException);
    // Failed queries leave the next one starting at the document too.
    EXPECT_THROW(parser.GetNodeCount("A/B/("), Xml::XmlComOperationFailedException);
    EXPECT_THROW(parser.GetNodeCount("count(A/B)"), Xml::XmlComOperationFailedException);
    EXPECT_EQ(parser.GetLeafElementText("A/B/success"), "no");
}

TEST(XmlParserTest, XpathPredicatesMustBeNumbers) {
    EXPECT_EQ(Xml::Parser::FixMicrosoftXpathIndexing("/a[1]/b[22]/c[]"), "/a[1]/b[22]/c[]");
    EXPECT_EQ(
        MessageOf<Xml::XmlBadXpathException>([] { Xml::Parser::FixMicrosoftXpathIndexing("/a[x]"); }),
        "Invalid XML Xpath expression: xpath = \"/a[x]\", reason = \"The expression '[x]' cannot be fixed "
        "to work with older versions of the Microsoft XML parser\"");
    EXPECT_EQ(
        MessageOf<Xml::XmlBadXpathException>([] { Xml::Parser::FixMicrosoftXpathIndexing("/a[1]/b[2"); }),
        "Invalid XML Xpath expression: xpath = \"/a[1]/b[2\", reason = \"missing ']'\"");
    Xml::Parser parser(kAnswer);
    EXPECT_THROW(parser.GetNodeCount("/answer/fairy[@id='7']"), Xml::XmlBadXpathException);
}

TEST(XmlParserTest, ReportsMalformedTextWithPosition) {
    const std::string message =
        MessageOf<Xml::XmlParseErrorException>([] { Xml::Parser("<a>\n  <b></c>\n</a>"); });
    EXPECT_EQ(message.rfind(
                  "Microsoft XML parser encountered a syntactical error in XML document: error code = 0x", 0),
              0u)
        << message;
    EXPECT_NE(message.find(", line number = 2, line position = "), std::string::npos) << message;
    EXPECT_NE(message.find(", reason = \""), std::string::npos) << message;
    EXPECT_NE(message.find("source text = \"  <b></c>\""), std::string::npos) << message;
    EXPECT_THROW(Xml::Parser(""), Xml::XmlParseErrorException);
    EXPECT_THROW(Xml::Parser("plain text"), Xml::XmlParseErrorException);
}

TEST(XmlParserTest, RetriesWithoutAnEncodingItCannotUse) {
    EXPECT_EQ(Xml::Parser::RemoveEncodingAttribute("<?xml version=\"1.0\" encoding=\"x-none\"?><a/>"),
              "<?xml version=\"1.0\" ?><a/>");
    EXPECT_EQ(Xml::Parser::RemoveEncodingAttribute("<?xml version='1.0' encoding='x'?><a/>"),
              "<?xml version='1.0' encoding='x'?><a/>");
    EXPECT_EQ(Xml::Parser::RemoveEncodingAttribute("<a encoding=\"x\"/>"), "<a encoding=\"x\"/>");
    EXPECT_EQ(Xml::Parser::RemoveEncodingAttribute("<?xml version=\"1.0\"?><a encoding=\"x\"/>"),
              "<?xml version=\"1.0\"?><a encoding=\"x\"/>");
    Xml::Parser unknown("<?xml version=\"1.0\" encoding=\"x-glimmer-8\"?><a>f\xc3\xa9\x65</a>");
    EXPECT_EQ(unknown.GetLeafElementText("/a"), "f\xc3\xa9\x65");
    Xml::Parser mislabelled("<?xml version=\"1.0\" encoding=\"UTF-16\"?><a>x</a>");
    EXPECT_EQ(mislabelled.GetLeafElementText("/a"), "x");
}

TEST(XmlParserTest, NeverReadsLocalFilesThroughEntities) {
    char path[] = "/tmp/glm-xxe-XXXXXX";
    const int fd = ::mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "SECRET-CONTENT", 14), 14);
    ::close(fd);
    const std::string document =
        std::string("<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY x SYSTEM \"file://") + path +
        "\">]><a>&x;</a>";
    try {
        Xml::Parser parser(document);
        try {
            EXPECT_EQ(parser.GetLeafElementText("/a").find("SECRET"), std::string::npos);
        } catch (const Xml::XmlNonLeafElementException&) {
        }
        EXPECT_EQ(parser.GetNodeAsXml("/a").find("SECRET"), std::string::npos);
    } catch (const Xml::XmlParseErrorException&) {
    }
    ::unlink(path);
}

TEST(XmlParserTest, RefusesEntityExpansionBombsQuickly) {
    std::string document = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">";
    document += "<!ENTITY lol1 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">";
    for (int i = 2; i <= 9; ++i) {
        document += "<!ENTITY lol" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) {
            document += "&lol" + std::to_string(i - 1) + ";";
        }
        document += "\">";
    }
    document += "]><lolz>&lol9;</lolz>";
    const auto start = std::chrono::steady_clock::now();
    const std::string message = MessageOf<Xml::XmlParseErrorException>([&] { Xml::Parser parser(document); });
    EXPECT_NE(message.find("entity"), std::string::npos) << message;
    // An entity that stays small is still fine, and stays a reference.
    Xml::Parser small("<!DOCTYPE a [<!ENTITY e \"hi\">]><a>&e;</a>");
    EXPECT_EQ(small.GetNodeAsXml("/a"), "<a>&e;</a>");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

} // namespace
