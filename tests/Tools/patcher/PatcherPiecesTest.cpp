// The patcher's building blocks: signatures, the atomic replacement and the
// locations of a program and its update.

#include "PatcherTestSupport.h"
#include "Tools/patcher/CachedMovieVersionReader.h"
#include "Tools/patcher/PatcherFiles.h"
#include "Tools/patcher/PatcherLocations.h"
#include "Tools/patcher/SignatureVerifier.h"
#include "common/Ex/Exception.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <sys/stat.h>

namespace {

using namespace PatcherTest;

std::string EcPublicKeyPem() {
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(EVP_EC_gen("P-256"), &EVP_PKEY_free);
    std::unique_ptr<BIO, decltype(&BIO_free)> out(BIO_new(BIO_s_mem()), &BIO_free);
    PEM_write_bio_PUBKEY(out.get(), key.get());
    char* data = nullptr;
    const long length = BIO_get_mem_data(out.get(), &data);
    return std::string(data, static_cast<std::size_t>(length));
}

TEST(SignatureVerifierTest, AcceptsOnlyAWholeFileSignedByATrustedKey) {
    WebTest::TempDirectory dir;
    const std::string file = dir.Path() + "/program";
    const std::string content(100000, 'p');
    WriteFile(file, content);
    SigningKey trusted;
    SigningKey other;
    Glm::SignatureVerifier verifier;
    std::string why;
    EXPECT_FALSE(verifier.VerifyFile(file, trusted.Sign(content), why));
    EXPECT_EQ(why, "no trusted signing key");

    ASSERT_TRUE(verifier.AddPublicKeyPem(other.PublicPem(), why)) << why;
    ASSERT_TRUE(verifier.AddPublicKeyPem(trusted.PublicPem(), why)) << why;
    EXPECT_TRUE(verifier.VerifyFile(file, trusted.Sign(content), why)) << "any trusted key will do: " << why;

    std::string flipped = content;
    flipped[50000] = 'q';
    EXPECT_FALSE(verifier.VerifyFile(file, trusted.Sign(flipped), why));
    EXPECT_EQ(why, "the signature matches no trusted key");
    EXPECT_FALSE(verifier.VerifyFile(file, trusted.Sign(content).substr(0, 63), why));
    EXPECT_EQ(why, "the signature has 63 bytes, not 64");
    EXPECT_FALSE(verifier.VerifyFile(dir.Path() + "/missing", trusted.Sign(content), why));
    EXPECT_NE(why.find("cannot read the file"), std::string::npos);

    WriteFile(file, "");
    EXPECT_TRUE(verifier.VerifyFile(file, trusted.Sign(""), why))
        << "an empty file is signed like any: " << why;

    EXPECT_FALSE(verifier.AddPublicKeyPem(EcPublicKeyPem(), why));
    EXPECT_EQ(why, "the key is not an Ed25519 key");
    EXPECT_FALSE(verifier.AddPublicKeyPem("not a key", why));
    EXPECT_FALSE(verifier.AddPublicKeyFile(dir.Path() + "/none.pub", why));
    EXPECT_EQ(verifier.GetKeyCount(), 2U);
}

TEST(ReplaceFileAtomicallyTest, KeepsTheModeAndLeavesNoTemporaryFile) {
    WebTest::TempDirectory dir;
    const std::string target = dir.Path() + "/program";
    const std::string source = dir.Path() + "/program.ptch";
    WriteFile(target, "old", 04751);
    WriteFile(source, std::string(3 << 20, 'n'), 0644);
    Glm::ReplaceFileAtomically(source, target);
    EXPECT_EQ(ReadFile(target), std::string(3 << 20, 'n'));
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 04751U);
    EXPECT_TRUE(Exists(source)) << "the update's own file is deleted by the next start";

    // A source that cannot be read leaves the target as it was.
    EXPECT_THROW(Glm::ReplaceFileAtomically(dir.Path() + "/missing", target), Ex::Exception);
    EXPECT_EQ(ReadFile(target).size(), std::size_t{3} << 20);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 2) << "no temporary file is left";
}

TEST(PatcherLocationsTest, TheUpdateProcessIsTheOneEndingInPtch) {
    WebTest::TempDirectory dir;
    const auto program = Glm::PatcherLocations::ForProgram(dir.Path() + "/glimmeries", "/movies", "/p.txt");
    EXPECT_EQ(program.executablePath, dir.Path() + "/glimmeries");
    EXPECT_EQ(program.patchPath, dir.Path() + "/glimmeries.ptch");
    EXPECT_TRUE(program.programDirectoryWritable);
    const auto update =
        Glm::PatcherLocations::ForProgram(dir.Path() + "/glimmeries.ptch", "/movies", "/p.txt");
    EXPECT_EQ(update.runningPath, dir.Path() + "/glimmeries.ptch");
    EXPECT_EQ(update.executablePath, dir.Path() + "/glimmeries");
    EXPECT_EQ(update.patchPath, update.runningPath);
    EXPECT_FALSE(Glm::PatcherLocations::IsDirectoryWritable(dir.Path() + "/missing"));
    EXPECT_EQ(Glm::PatcherLocations::DirectoryOf("/glimmeries"), "/");
    EXPECT_EQ(Glm::PatcherLocations::FileNameOf("/usr/bin/glimmeries"), "glimmeries");
}

class CountingReader : public Glm::MovieVersionReader {
public:
    std::optional<std::string> ReadVersion(const std::string& moviePath) override {
        ++calls;
        return Exists(moviePath) ? answer : std::nullopt;
    }
    std::optional<std::string> answer = "1";
    int calls = 0;
};

TEST(CachedMovieVersionReaderTest, PlaysAMovieOnlyWhenItsFileIsNewOrChanged) {
    WebTest::TempDirectory dir;
    const std::string movie = dir.Path() + "/avatarFull.swf";
    const std::string cache = dir.Path() + "/.movie-versions";
    WriteFile(movie, "movie one");
    CountingReader player;
    {
        Glm::CachedMovieVersionReader reader(player, cache);
        EXPECT_EQ(reader.ReadVersion(movie), std::optional<std::string>("1"));
        EXPECT_EQ(reader.ReadVersion(movie), std::optional<std::string>("1"));
        EXPECT_EQ(player.calls, 1);
    }
    // The next start finds the answer in the file.
    Glm::CachedMovieVersionReader restarted(player, cache);
    EXPECT_EQ(restarted.ReadVersion(movie), std::optional<std::string>("1"));
    EXPECT_EQ(player.calls, 1);

    // A replaced movie is played again, and so is one that gave no answer.
    std::filesystem::remove(movie);
    WriteFile(movie, "movie two, longer");
    player.answer = "2";
    EXPECT_EQ(restarted.ReadVersion(movie), std::optional<std::string>("2"));
    EXPECT_EQ(player.calls, 2);
    player.answer = std::nullopt;
    const std::string other = dir.Path() + "/avatarAndButterfly.swf";
    WriteFile(other, "broken");
    EXPECT_EQ(restarted.ReadVersion(other), std::nullopt);
    EXPECT_EQ(restarted.ReadVersion(other), std::nullopt);
    EXPECT_EQ(player.calls, 4);

    // A movie not extracted yet is not played at all.
    EXPECT_EQ(restarted.ReadVersion(dir.Path() + "/notThere.swf"), std::nullopt);
    EXPECT_EQ(player.calls, 4);
}

} // namespace
