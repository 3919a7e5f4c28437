#pragma once
// Reading the answer to the toy inventory request: the friendships of the
// Fairy (or of the account) with a status the client knows, and the
// Fairy's charms.

#include "common/Xml/Parser.h"
#include "webapi/FriendRecord.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Glm {

/// Appends what answer holds under root ("/ClickInventoryResponse"): the
/// friends under root/fairy_id/friends when forOneFairy, otherwise under
/// root/friends, skipping any whose status is not DECLINED, MADE or PENDING;
/// and the charm ids under root/fairy_id/charms.
void ReadInventoryAnswer(Xml::Parser& answer, const std::string& root, bool forOneFairy,
                         std::vector<FriendRecord>& friends, std::vector<std::int32_t>& charms);

} // namespace Glm
