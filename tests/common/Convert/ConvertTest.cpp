#include "common/Convert/Convert.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

class ConvertExpand : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("GLM_TEST_HOME", "/home/fay", 1);
        ::setenv("GLM_TEST_EMPTY", "", 1);
        ::unsetenv("GLM_TEST_UNSET");
    }
    void TearDown() override {
        ::unsetenv("GLM_TEST_HOME");
        ::unsetenv("GLM_TEST_EMPTY");
    }
};

TEST_F(ConvertExpand, BothFormsAreExpanded) {
    using Convert::ExpandEnvironmentStrings;
    EXPECT_EQ(ExpandEnvironmentStrings("$GLM_TEST_HOME/glimmeries"), "/home/fay/glimmeries");
    EXPECT_EQ(ExpandEnvironmentStrings("${GLM_TEST_HOME}x"), "/home/fayx");
    EXPECT_EQ(ExpandEnvironmentStrings("a${GLM_TEST_EMPTY}b"), "ab");
    EXPECT_EQ(ExpandEnvironmentStrings("plain text"), "plain text");
    EXPECT_EQ(ExpandEnvironmentStrings(""), "");
}

TEST_F(ConvertExpand, UnsetVariablesAndLoneDollarsStayAsWritten) {
    using Convert::ExpandEnvironmentStrings;
    EXPECT_EQ(ExpandEnvironmentStrings("$GLM_TEST_UNSET/x"), "$GLM_TEST_UNSET/x");
    EXPECT_EQ(ExpandEnvironmentStrings("${GLM_TEST_UNSET}/x"), "${GLM_TEST_UNSET}/x");
    EXPECT_EQ(ExpandEnvironmentStrings("cost: 5$ or $1 or $"), "cost: 5$ or $1 or $");
    EXPECT_EQ(ExpandEnvironmentStrings("$$GLM_TEST_HOME"), "$GLM_TEST_HOME");
    // A value is not expanded again.
    ::setenv("GLM_TEST_HOME", "$GLM_TEST_EMPTY", 1);
    EXPECT_EQ(ExpandEnvironmentStrings("$GLM_TEST_HOME"), "$GLM_TEST_EMPTY");
}

TEST_F(ConvertExpand, MalformedBracesThrowWithTheText) {
    for (const std::string text : {"${GLM_TEST_HOME", "${}", "${1ABC}", "${A-B}"}) {
        try {
            Convert::ExpandEnvironmentStrings(text);
            ADD_FAILURE() << "no exception for " << text;
        } catch (const Convert::CantExpandEnvironmentStringsException& e) {
            EXPECT_EQ(e.GetMessage(), "String to expand: '" + text + "'");
            ASSERT_TRUE(e.GetCause());
            EXPECT_EQ(
                e.GetCause()->GetMessage().rfind("Call to ExpandEnvironmentStrings failed with (22)", 0), 0u);
        }
    }
}

} // namespace
