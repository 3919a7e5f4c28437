#include "SigningKey.h"

#include "DataFiles.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <sstream>
#include <stdexcept>
#include <sys/file.h>
#include <unistd.h>

namespace Service {

namespace {

using KeyPtr = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using BioPtr = std::unique_ptr<BIO, decltype(&BIO_free)>;

[[noreturn]] void Fail(const std::string& call) {
    char reason[256] = "unknown error";
    const unsigned long code = ERR_get_error();
    if (code != 0) {
        ERR_error_string_n(code, reason, sizeof reason);
    }
    ERR_clear_error();
    throw std::runtime_error("Call to " + call + " failed: " + reason);
}

std::string Pem(BIO* bio) {
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio, &data);
    return std::string(data, static_cast<std::size_t>(length));
}

std::string ReadWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " + path);
    }
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

} // namespace

SigningKeyPaths EnsureSigningKey(const std::string& dataDirectory) {
    namespace fs = std::filesystem;
    const SigningKeyPaths paths{(fs::path(dataDirectory) / "signing.key").string(),
                                (fs::path(dataDirectory) / "signing.pub").string()};
    const CertificatesLock lock(dataDirectory);
    if (fs::exists(paths.privateKey) && fs::exists(paths.publicKey)) {
        return paths;
    }
    KeyPtr key(nullptr, &EVP_PKEY_free);
    if (fs::exists(paths.privateKey)) {
        // Only the public half went missing: derive it again.
        const std::string pem = ReadWhole(paths.privateKey);
        BioPtr in(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())), &BIO_free);
        key.reset(PEM_read_bio_PrivateKey(in.get(), nullptr, nullptr, nullptr));
        if (!key) {
            Fail("PEM_read_bio_PrivateKey (" + paths.privateKey + ")");
        }
    } else {
        key.reset(EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519"));
        if (!key) {
            Fail("EVP_PKEY_Q_keygen");
        }
        BioPtr out(BIO_new(BIO_s_mem()), &BIO_free);
        if (!out ||
            PEM_write_bio_PrivateKey(out.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1) {
            Fail("PEM_write_bio_PrivateKey");
        }
        WriteAtomically(paths.privateKey, 0600, Pem(out.get()));
    }
    BioPtr out(BIO_new(BIO_s_mem()), &BIO_free);
    if (!out || PEM_write_bio_PUBKEY(out.get(), key.get()) != 1) {
        Fail("PEM_write_bio_PUBKEY");
    }
    WriteAtomically(paths.publicKey, 0644, Pem(out.get()));
    return paths;
}

std::string SignFile(const std::string& keyPath, const std::string& filePath) {
    const std::string pem = ReadWhole(keyPath);
    BioPtr in(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())), &BIO_free);
    KeyPtr key(PEM_read_bio_PrivateKey(in.get(), nullptr, nullptr, nullptr), &EVP_PKEY_free);
    if (!key) {
        Fail("PEM_read_bio_PrivateKey (" + keyPath + ")");
    }
    const std::string content = ReadWhole(filePath);
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    if (!context || EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1) {
        Fail("EVP_DigestSignInit");
    }
    std::string signature(64, '\0');
    std::size_t length = signature.size();
    if (EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(signature.data()), &length,
                       reinterpret_cast<const unsigned char*>(content.data()), content.size()) != 1) {
        Fail("EVP_DigestSign");
    }
    signature.resize(length);
    return signature;
}

} // namespace Service
