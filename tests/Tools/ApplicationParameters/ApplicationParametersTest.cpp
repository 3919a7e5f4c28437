#include "Tools/ApplicationParameters.h"

#include "common/Web/HttpExceptions.h"
#include "common/Web/TlsTrust.h"
#include "tests/support/TestPki.h"
#include "tests/support/TestServer.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

TEST(ApplicationParametersTest, LineRules) {
    Glm::ApplicationParameters table;
    table.ParseLine(" \tGLM_A \t=  two  words \t\r\n");
    EXPECT_EQ(table.Get("GLM_A"), "two  words");
    table.ParseLine("#GLM_B=1\n");
    EXPECT_EQ(table.GetAll().count("#GLM_B"), 0u);
    table.ParseLine(" #GLM_B=1\n"); // the blank goes only after the comment test
    EXPECT_EQ(table.Get("#GLM_B"), "1");
    table.ParseLine("=GLM_C=1\n");
    table.ParseLine("GLM_D\n");
    table.ParseLine("\n");
    table.ParseLine("x");
    EXPECT_EQ(table.GetAll().size(), 2u);
    table.ParseLine("GLM_E=a=b==c\n");
    EXPECT_EQ(table.Get("GLM_E"), "a=b==c");
    table.ParseLine("GLM_E=\n");
    EXPECT_EQ(table.GetAll().at("GLM_E"), "");
    table.ParseLine(std::string("GLM_F=\x01value\x7f\x00", 15));
    EXPECT_EQ(table.Get("GLM_F"), "value");
    table.ParseLine("glm_a=lower");
    EXPECT_EQ(table.Get("GLM_A"), "two  words"); // keys are case-sensitive
    EXPECT_EQ(table.Get("absent"), "");

    table.ParseText("K1=1\rK2=2\r\nK3=3\n\nK4=4");
    EXPECT_EQ(table.Get("K1") + table.Get("K2") + table.Get("K3") + table.Get("K4"), "1234");
    table.Clear();
    EXPECT_TRUE(table.GetAll().empty());
}

TEST(ApplicationParametersTest, DefaultsPointAtTheLocalService) {
    Glm::ApplicationParameters table;
    table.SetDefaults();
    EXPECT_EQ(table.Get("PATCHER_VERSION_STRING_SERVER"), "V1.0.4.34");
    EXPECT_EQ(table.Get("GLM_BASE_URL"), "https://127.0.0.1:18443/api/");
    EXPECT_EQ(table.Get("GLM_SWF_VERSION"), "");
    EXPECT_EQ(table.Get("GLM_EXTRA_CA_FILE"), Glm::ApplicationParameters::DefaultExtraCaFile());
    EXPECT_EQ(Web::GetExtraCaFile(), table.Get("GLM_EXTRA_CA_FILE"));
    const std::string reporting = table.Get("GLM_REPORTING_URL");
    EXPECT_EQ(reporting.find("/b/ss/"), reporting.find('/', 8));
    EXPECT_EQ(reporting.find("%s?D="), reporting.find("/1/") + 3);
    const std::string address = table.RemoteParametersAddress();
    EXPECT_EQ(address.rfind(table.Get("GLM_PATCHER_BASE_URL") + "patcher.ver?", 0), 0u);
    Web::SetExtraCaFile("");
}

TEST(ApplicationParametersTest, FileReading) {
    WebTest::TempDirectory directory;
    Glm::ApplicationParameters table;
    table.LoadFromFile(directory.Path() + "/missing.txt");
    EXPECT_TRUE(table.GetAll().empty());

    // A 1500-character line is a line of its first 1022 characters, then one of the rest.
    const std::string longLine = "LONG=" + std::string(1017, 'v') + "TAIL=" + std::string(473, 'w') + "\n";
    WriteFile(directory.Path() + "/long.txt", "# comment\n" + longLine + "LAST=1");
    table.LoadFromFile(directory.Path() + "/long.txt");
    EXPECT_EQ(table.Get("LONG"), std::string(1017, 'v'));
    EXPECT_EQ(table.Get("TAIL"), std::string(473, 'w'));
    EXPECT_EQ(table.Get("LAST"), "1");

    std::string binary;
    for (int i = 0; i < 4096; ++i) {
        binary.push_back(static_cast<char>((i * 7919) % 256));
    }
    WriteFile(directory.Path() + "/binary.bin", binary + "\nAFTER=ok\n");
    Glm::ApplicationParameters fromBinary;
    fromBinary.LoadFromFile(directory.Path() + "/binary.bin");
    EXPECT_EQ(fromBinary.Get("AFTER"), "ok");
}

TEST(ApplicationParametersTest, LocalValuesBeatRemoteOnesWhichBeatDefaults) {
    WebTest::TestServer server;
    server.Routes().Get("/english/patcher.ver", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("PATCHER_VERSION_STRING_SERVER=V9.9.9.9\r\nGLM_SWF_VERSION=7\r\nGLM_LOG_LEVEL=3\r\n",
                        "text/plain");
    });
    const int port = server.Start();
    WebTest::TempDirectory directory;
    WriteFile(directory.Path() + "/parameters.txt", "GLM_LOG_LEVEL=5\n");

    Glm::ApplicationParameters table;
    table.SetDefaults();
    table.Set("GLM_PATCHER_BASE_URL", "http://127.0.0.1:" + std::to_string(port) + "/english/");
    table.LoadFromFile(directory.Path() + "/parameters.txt");
    table.LoadRemoteParameters(table.RemoteParametersAddress());
    table.LoadFromFile(directory.Path() + "/parameters.txt");
    EXPECT_EQ(table.Get("GLM_LOG_LEVEL"), "5");
    EXPECT_EQ(table.Get("PATCHER_VERSION_STRING_SERVER"), "V9.9.9.9");
    EXPECT_EQ(table.Get("GLM_SWF_VERSION"), "7");
    EXPECT_EQ(table.Get("SWF_AVATAR_FULL"), "avatarFull.swf");
    Web::SetExtraCaFile("");

    server.Stop();
    // The remote file unreachable: the transport's failure, table untouched.
    EXPECT_THROW(table.LoadRemoteParameters(table.RemoteParametersAddress()),
                 Web::CantRetrieveResourceException);
    EXPECT_EQ(table.Get("PATCHER_VERSION_STRING_SERVER"), "V9.9.9.9");
    EXPECT_THROW(table.LoadRemoteParameters("not a url"), Web::InvalidUrlException);
}

} // namespace
