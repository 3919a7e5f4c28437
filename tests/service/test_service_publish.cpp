// Publishing an update: the signing key, the signed files the content server then serves, the
// announced versions, and what the command refuses.
#include "tests/support/ServiceProcess.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <httplib.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <sstream>
#include <sys/stat.h>

using namespace ServiceTest;

namespace {

std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

bool Verifies(const std::string& publicKeyPath, const std::string& content, const std::string& signature) {
    const std::string pem = Read(publicKeyPath);
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())),
                                                  &BIO_free);
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(
        PEM_read_bio_PUBKEY(bio.get(), nullptr, nullptr, nullptr), &EVP_PKEY_free);
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    return key && EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) == 1 &&
           EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(signature.data()),
                            signature.size(), reinterpret_cast<const unsigned char*>(content.data()),
                            content.size()) == 1;
}

TEST(ServicePublish, SignsServesAndAnnouncesProgramsAndMovies) {
    TempDirectory data;
    ServiceProcess service(data.Path());
    struct stat info {};
    ASSERT_EQ(::stat((data.Path() + "/signing.key").c_str(), &info), 0) << "made on first start";
    EXPECT_EQ(info.st_mode & 0777, 0600U);
    const std::string publicKey = data.Path() + "/signing.pub";
    std::filesystem::create_directories(data.Path() + "/content");
    std::ofstream(data.Path() + "/content/patcher.ver") << "GLM_FAQ_URL=http://faq.invalid/\n"
                                                           "PATCHER_VERSION_STRING_SERVER=V1.0.4.34\n";
    const std::string program = data.Path() + "/program.bin";
    std::ofstream(program, std::ios::binary) << std::string(100000, 'p') << "end";
    const std::string movie = data.Path() + "/avatarFull.swf";
    std::ofstream(movie) << "<html>movie 2</html>";

    CommandResult result = RunService({"--data", data.Path(), "publish", "program", program, "V1.0.4.40"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    result = RunService({"--data", data.Path(), "publish", "movie", movie, "2"});
    ASSERT_EQ(result.exitCode, 0) << result.err;

    auto http = service.Http();
    const std::string folder = "/bramblemere/game/glimmeries/english/";
    for (const auto& [name, source] : {std::pair<std::string, std::string>{"glimmeries.exe", program},
                                       std::pair<std::string, std::string>{"avatarFull.swf", movie}}) {
        const auto file = http->Get((folder + name + "?1a2b3").c_str());
        const auto signature = http->Get((folder + name + ".sig?1a2b3").c_str());
        ASSERT_TRUE(file && signature) << name;
        EXPECT_EQ(file->status, 200) << name;
        EXPECT_EQ(file->body, Read(source)) << name;
        EXPECT_EQ(signature->body.size(), 64U) << name;
        EXPECT_TRUE(Verifies(publicKey, file->body, signature->body)) << name;
        EXPECT_FALSE(Verifies(publicKey, file->body + "x", signature->body)) << name;
    }
    const auto version = http->Get((folder + "patcher.ver?1a2b3").c_str());
    ASSERT_TRUE(version);
    EXPECT_EQ(version->body, "GLM_FAQ_URL=http://faq.invalid/\nPATCHER_VERSION_STRING_SERVER=V1.0.4.40\n"
                             "GLM_SWF_VERSION=2\n");

    // Refused: names that leave the folder, versions that break the file, missing files.
    EXPECT_EQ(
        RunService({"--data", data.Path(), "publish", "program", program, "V2", "--name", "../x"}).exitCode,
        1);
    EXPECT_EQ(RunService({"--data", data.Path(), "publish", "program", program, "V 2"}).exitCode, 1);
    EXPECT_EQ(
        RunService({"--data", data.Path(), "publish", "movie", data.Path() + "/none.swf", "3"}).exitCode, 1);
    EXPECT_EQ(RunService({"--data", data.Path(), "publish", "sound", movie, "3"}).exitCode, 2);
    EXPECT_EQ(Read(data.Path() + "/content/patcher.ver"), version->body) << "nothing changed";
}

} // namespace
