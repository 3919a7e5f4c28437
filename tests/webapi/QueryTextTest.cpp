// Values written into requests and the upload bodies made from the string table.

#include "webapi/QueryText.h"

#include "webapi/UploadBodies.h"

#include <gtest/gtest.h>

namespace {

TEST(QueryText, EncodesEverythingThatCouldChangeAField) {
    EXPECT_EQ(Glm::EncodeQueryValue("Ab-9._~,"), "Ab-9._~,");
    EXPECT_EQ(Glm::EncodeQueryValue("a&b=c+d %#?/"), "a%26b%3Dc%2Bd%20%25%23%3F%2F");
    EXPECT_EQ(Glm::EncodeQueryValue("\xC3\xA9\n"), "%C3%A9%0A");
    EXPECT_EQ(Glm::EncodeQueryValue(""), "");
    EXPECT_EQ(Glm::EscapeXmlText("<a href='x'>&\"</a>"), "&lt;a href=&apos;x&apos;&gt;&amp;&quot;&lt;/a&gt;");
}

TEST(QueryText, NumbersAreReadAndWrittenAsTheServiceUsesThem) {
    EXPECT_EQ(Glm::UnsignedDecimal(0), "0");
    EXPECT_EQ(Glm::UnsignedDecimal(static_cast<std::uint32_t>(INT32_MIN)), "2147483648");
    EXPECT_EQ(Glm::UnsignedDecimal(0xFFFFFFFFu), "4294967295");
    EXPECT_EQ(Glm::DecimalToInt32("1001"), 1001);
    EXPECT_EQ(Glm::DecimalToInt32(" -12xyz"), -12);
    EXPECT_EQ(Glm::DecimalToInt32("lots"), 0);
    EXPECT_EQ(Glm::DecimalToInt32(""), 0);
    EXPECT_EQ(Glm::DecimalToInt32("99999999999"), INT32_MAX);
}

TEST(UploadBodies, FriendshipAnswers) {
    Glm::FriendRecord touched;
    touched.clickId = 0x80000005u;
    touched.fairyId = "ignored";
    EXPECT_EQ(
        Glm::BuildFriendUploadBody("41", 2147483650u, "accept", touched),
        "<?xml version=\"1.0\" encoding=\"utf-8\" ?><ClickUploadFriendsRequest><fairy_id>41</fairy_id>"
        "<bracelet id=\"2147483650\"/><friend><action>accept</action><bracelet id=\"2147483653\"/></friend>"
        "</ClickUploadFriendsRequest>");
    Glm::FriendRecord invited;
    invited.fairyId = "9<";
    EXPECT_EQ(
        Glm::BuildFriendUploadBody("41", 7, "giftonly", invited),
        "<?xml version=\"1.0\" encoding=\"utf-8\" ?><ClickUploadFriendsRequest><fairy_id>41</fairy_id>"
        "<friend><action>giftonly</action><fairy_id>9&lt;</fairy_id></friend></ClickUploadFriendsRequest>");
}

TEST(UploadBodies, CharmsAndPoints) {
    EXPECT_EQ(Glm::BuildCharmUploadBody("41", 3000000000u, 1033),
              "<ClickUploadRequest><fairy_id>41</fairy_id><click_id>3000000000</click_id><charm id=\"1033\"/>"
              "</ClickUploadRequest>");
    EXPECT_EQ(Glm::BuildPointsUploadBody("41", 12, 1230),
              "<ClickUploadRequest><fairy_id>41</fairy_id><click_id>12</click_id><points>1230</points>"
              "</ClickUploadRequest>");
    EXPECT_EQ(Glm::FormatText("%s-%s-%s", {"a", "b"}), "a-b-");
}

} // namespace
