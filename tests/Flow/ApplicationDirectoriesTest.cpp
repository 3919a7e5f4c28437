#include "Flow/ApplicationDirectories.h"

#include "common/Ex/Exception.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <fstream>
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

TEST(ApplicationDirectoriesTest, AChosenDirectoryWinsOverTheEnvironmentWhichWinsOverTheExecutables) {
    GlmTest::TempDir root;
    GlmTest::TempDir executable;
    const ScopedEnvironment fromEnvironment("GLIMMERIES_APP_DIR", root / "from-env");

    const Glm::ApplicationDirectories given =
        Glm::ApplicationDirectories::Choose(root / "given/nested", executable.Path());
    EXPECT_EQ(given.log, root / "given/nested");
    EXPECT_EQ(given.data, given.log);
    EXPECT_EQ(given.config, given.log);
    EXPECT_TRUE(std::filesystem::is_directory(given.log));

    const Glm::ApplicationDirectories environment =
        Glm::ApplicationDirectories::Choose("", executable.Path());
    EXPECT_EQ(environment.config, root / "from-env");
    EXPECT_TRUE(std::filesystem::is_directory(environment.config));

    const ScopedEnvironment empty("GLIMMERIES_APP_DIR", "");
    EXPECT_EQ(Glm::ApplicationDirectories::Choose("", executable.Path()).config, executable.Path());
}

TEST(ApplicationDirectoriesTest, AChosenDirectoryThatCannotBeMadeIsAnError) {
    GlmTest::TempDir root;
    { std::ofstream(root / "plain-file") << "x"; }
    EXPECT_THROW(Glm::ApplicationDirectories::In(root / "plain-file/below"), Ex::Exception);
}

} // namespace
