#include "Flow/ApplicationDirectories.h"

#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <stdlib.h>

namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (m_old) {
            ::setenv(m_name, m_old->c_str(), 1);
        } else {
            ::unsetenv(m_name);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(ApplicationDirectoriesTest, AWritableExecutableDirectoryHoldsEverything) {
    GlmTest::TempDir executable;
    const Glm::ApplicationDirectories found = Glm::ApplicationDirectories::Find(executable.Path());
    EXPECT_EQ(found.log, executable.Path());
    EXPECT_EQ(found.data, executable.Path());
    EXPECT_EQ(found.config, executable.Path());
}

TEST(ApplicationDirectoriesTest, OtherwiseTheXdgDirectoriesAreMadeAndARelativeSettingIsIgnored) {
    GlmTest::TempDir home;
    const ScopedEnvironment homeVariable("HOME", home.Path());
    const ScopedEnvironment state("XDG_STATE_HOME", home / "state");
    const ScopedEnvironment data("XDG_DATA_HOME", home / "data");
    // Relative values are not valid XDG settings: the default under HOME applies.
    const ScopedEnvironment config("XDG_CONFIG_HOME", "relative/config");

    const Glm::ApplicationDirectories found = Glm::ApplicationDirectories::Find(home / "no-such-directory");
    EXPECT_EQ(found.log, home / "state/glimmeries");
    EXPECT_EQ(found.data, home / "data/glimmeries");
    EXPECT_EQ(found.config, home / ".config/glimmeries");
    EXPECT_TRUE(std::filesystem::is_directory(found.log));
    EXPECT_TRUE(std::filesystem::is_directory(found.data));
    EXPECT_TRUE(std::filesystem::is_directory(found.config));
}

} // namespace
