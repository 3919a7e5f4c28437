#include "Avatar.h"

#include "XmlDocument.h"
#include "XmlText.h"

#include <cctype>

namespace Service {

bool AvatarLook::IsColor(const std::string& text) {
    if (text.size() != 7 || text[0] != '#') {
        return false;
    }
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i]))) {
            return false;
        }
    }
    return true;
}

std::string AvatarLook::ToXml() const {
    XmlWriter xml;
    xml.Empty("body", XmlWriter::Attribute("skin", skin))
        .Empty("hair", XmlWriter::Attribute("style", std::to_string(hairStyle)) +
                           XmlWriter::Attribute("color", hairColor))
        .Empty("eyes", XmlWriter::Attribute("color", eyesColor))
        .Empty("dress", XmlWriter::Attribute("style", std::to_string(dressStyle)) +
                            XmlWriter::Attribute("color", dressColor))
        .Empty("wings", XmlWriter::Attribute("style", std::to_string(wingsStyle)) +
                            XmlWriter::Attribute("color", wingsColor));
    return xml.Text();
}

std::optional<AvatarLook> AvatarLook::FromXml(const std::string& text) {
    auto document = XmlDocument::Parse(text);
    if (!document) {
        document = XmlDocument::Parse("<avatar>" + text + "</avatar>");
    }
    if (!document || document->Count("/avatar") != 1) {
        return std::nullopt;
    }
    AvatarLook look;
    bool valid = true;
    const auto color = [&](const char* xpath, std::string& target) {
        const auto value = document->Value(xpath);
        if (document->Count(xpath) == 0) {
            return;
        }
        if (!IsColor(value)) {
            valid = false;
            return;
        }
        target = value;
    };
    const auto style = [&](const char* xpath, int& target) {
        if (document->Count(xpath) == 0) {
            return;
        }
        const auto value = document->Value(xpath);
        if (value.size() != 1 || value[0] < '1' || value[0] > '9') {
            valid = false;
            return;
        }
        target = value[0] - '0';
    };
    color("/avatar/body/@skin", look.skin);
    style("/avatar/hair/@style", look.hairStyle);
    color("/avatar/hair/@color", look.hairColor);
    color("/avatar/eyes/@color", look.eyesColor);
    style("/avatar/dress/@style", look.dressStyle);
    color("/avatar/dress/@color", look.dressColor);
    style("/avatar/wings/@style", look.wingsStyle);
    color("/avatar/wings/@color", look.wingsColor);
    if (!valid) {
        return std::nullopt;
    }
    return look;
}

std::string AvatarElement(const std::string& look, std::int64_t butterfly, std::int64_t days) {
    std::string xml = "<avatar>" + look;
    if (butterfly != 0) {
        xml += "<tagalong ttl=\"" + std::to_string(days) + "\">" + std::to_string(butterfly) + "</tagalong>";
    }
    xml += "</avatar>";
    return xml;
}

} // namespace Service
