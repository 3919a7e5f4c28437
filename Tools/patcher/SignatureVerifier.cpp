#include "Tools/patcher/SignatureVerifier.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Glm {

namespace {

constexpr std::size_t kSignatureSize = 64;

std::string OpenSslReason() {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0) {
        return "unknown reason";
    }
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return text;
}

// Owns a descriptor and a read-only mapping of the whole file.
class MappedFile {
public:
    explicit MappedFile(const std::string& path) {
        m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (m_fd < 0) {
            m_error = std::string("open: ") + std::strerror(errno);
            return;
        }
        struct stat info {};
        if (::fstat(m_fd, &info) != 0) {
            m_error = std::string("fstat: ") + std::strerror(errno);
            return;
        }
        m_size = static_cast<std::size_t>(info.st_size);
        if (m_size == 0) {
            return; // mmap refuses an empty length; an empty file is signed like any other
        }
        void* data = ::mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, m_fd, 0);
        if (data == MAP_FAILED) {
            m_error = std::string("mmap: ") + std::strerror(errno);
            return;
        }
        m_data = data;
    }
    ~MappedFile() {
        if (m_data != nullptr) {
            ::munmap(m_data, m_size);
        }
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool IsOpen() const { return m_error.empty(); }
    const std::string& Error() const { return m_error; }
    const unsigned char* Data() const {
        static const unsigned char empty = 0;
        return m_data != nullptr ? static_cast<const unsigned char*>(m_data) : &empty;
    }
    std::size_t Size() const { return m_size; }

private:
    int m_fd = -1;
    void* m_data = nullptr;
    std::size_t m_size = 0;
    std::string m_error;
};

} // namespace

void SignatureVerifier::KeyFree::operator()(void* key) const {
    EVP_PKEY_free(static_cast<EVP_PKEY*>(key));
}

SignatureVerifier::SignatureVerifier() = default;
SignatureVerifier::~SignatureVerifier() = default;
SignatureVerifier::SignatureVerifier(SignatureVerifier&&) noexcept = default;
SignatureVerifier& SignatureVerifier::operator=(SignatureVerifier&&) noexcept = default;

bool SignatureVerifier::AddPublicKeyPem(const std::string& pem, std::string& why) {
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())),
                                                  &BIO_free);
    if (!bio) {
        why = OpenSslReason();
        return false;
    }
    EVP_PKEY* key = PEM_read_bio_PUBKEY(bio.get(), nullptr, nullptr, nullptr);
    if (key == nullptr) {
        why = "no public key in PEM form (" + OpenSslReason() + ")";
        return false;
    }
    std::unique_ptr<void, KeyFree> owned(key);
    if (EVP_PKEY_get_id(key) != EVP_PKEY_ED25519) {
        why = "the key is not an Ed25519 key";
        return false;
    }
    m_keys.push_back(std::move(owned));
    return true;
}

bool SignatureVerifier::AddPublicKeyFile(const std::string& path, std::string& why) {
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new_file(path.c_str(), "r"), &BIO_free);
    if (!bio) {
        ERR_clear_error();
        why = "cannot read '" + path + "'";
        return false;
    }
    std::string pem;
    char buffer[1024];
    int got = 0;
    while ((got = BIO_read(bio.get(), buffer, sizeof buffer)) > 0 && pem.size() < 65536) {
        pem.append(buffer, static_cast<std::size_t>(got));
    }
    if (!AddPublicKeyPem(pem, why)) {
        why = "'" + path + "': " + why;
        return false;
    }
    return true;
}

bool SignatureVerifier::VerifyFile(const std::string& path, const std::string& signature,
                                   std::string& why) const {
    if (m_keys.empty()) {
        why = "no trusted signing key";
        return false;
    }
    if (signature.size() != kSignatureSize) {
        why = "the signature has " + std::to_string(signature.size()) + " bytes, not 64";
        return false;
    }
    const MappedFile file(path);
    if (!file.IsOpen()) {
        why = "cannot read the file (" + file.Error() + ")";
        return false;
    }
    for (const auto& key : m_keys) {
        std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
        if (!context || EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr,
                                             static_cast<EVP_PKEY*>(key.get())) != 1) {
            why = OpenSslReason();
            return false;
        }
        const int result =
            EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(signature.data()),
                             signature.size(), file.Data(), file.Size());
        ERR_clear_error();
        if (result == 1) {
            return true;
        }
    }
    why = "the signature matches no trusted key";
    return false;
}

} // namespace Glm
