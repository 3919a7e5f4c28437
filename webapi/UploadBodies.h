#pragma once
// The XML bodies of the friendship, charm and points uploads, made from the
// string table's texts. Ids are written as unsigned decimal numbers; every
// inserted value is escaped for XML.

#include "webapi/FriendRecord.h"

#include <cstdint>
#include <initializer_list>
#include <string>

namespace Glm {

/// pattern with each "%s" replaced by the next value, in order; a "%s"
/// without a value is left out. Values are inserted as they are.
std::string FormatText(const std::string& pattern, std::initializer_list<std::string> values);

/// The answer to one friendship: the uploading toy's Fairy id and click id,
/// the action ("accept", "decline" or "giftonly") and the friend, named by
/// its bracelet entry when the record carries one (then the uploading
/// bracelet is named too), else by its Fairy id. Throws
/// Mod::CantFindResourceException when a text is missing.
std::string BuildFriendUploadBody(const std::string& fairyId, std::uint32_t ownClickId,
                                  const std::string& action, const FriendRecord& friendRecord);
/// One charm given to a Fairy from the toy with clickId. Throws as above.
std::string BuildCharmUploadBody(const std::string& fairyId, std::uint32_t clickId, std::int32_t charmId);
/// The toy's Glint Points given to a Fairy. Throws as above.
std::string BuildPointsUploadBody(const std::string& fairyId, std::uint32_t clickId, std::int32_t points);

} // namespace Glm
