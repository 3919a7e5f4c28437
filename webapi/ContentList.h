#pragma once
// The four lists the content server publishes beside the game, read on
// demand over a connection of their own.

#include "common/Xml/Parser.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Glm {

inline constexpr const char* kCharmListPath = "publish/xml/content/glimmeries/ClickCharmList.xml";
inline constexpr const char* kButterflyListPath = "publish/xml/content/glimmeries/ClickButterflyList.xml";
inline constexpr const char* kMessageListPath = "publish/xml/content/glimmeries/ClickMessageList.xml";
inline constexpr const char* kGiftListPath = "publish/xml/content/glimmeries/ClickGiftList.xml";

/// GETs contentBaseUrl + path (text) over a new connection named after the
/// executable, parses the body and closes the connection. Throws
/// Web::InvalidUrlException for a bad address, the transport's exceptions
/// (Web::CantRetrieveResourceException, Web::HttpShutDownException,
/// Web::CantInitializeHttpException) and Xml::XmlParseErrorException.
std::unique_ptr<Xml::Parser> LoadContentList(const std::string& contentBaseUrl, const std::string& path);

/// Appends the entries of a message or gift list (ids and texts of the
/// children of ROOT/copy, those with an empty id or text left out). Throws
/// the parser's exceptions.
void ReadCopyEntries(Xml::Parser& list, const std::string& root, std::vector<std::int32_t>& ids,
                     std::vector<std::string>& texts);

} // namespace Glm
