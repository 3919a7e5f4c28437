#include "common/Web/TlsTrust.h"

#include "common/Ex/Logger.h"

#include <filesystem>
#include <mutex>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <sys/stat.h>
#include <vector>

namespace Web {

class ExtraCaCertificates {
public:
    ExtraCaCertificates() = default;
    ExtraCaCertificates(const ExtraCaCertificates&) = delete;
    ExtraCaCertificates& operator=(const ExtraCaCertificates&) = delete;
    ~ExtraCaCertificates() {
        for (X509* certificate : m_certificates) {
            X509_free(certificate);
        }
    }
    std::vector<X509*> m_certificates;
};

namespace {

struct TrustState {
    std::mutex mutex;
    std::string path;
    // The last file loaded, reused while its modification time is unchanged.
    std::string loadedPath;
    struct timespec loadedTime {};
    std::shared_ptr<const ExtraCaCertificates> loaded;
};

TrustState& State() {
    static TrustState state;
    return state;
}

std::shared_ptr<const ExtraCaCertificates> ReadCertificates(const std::string& path) {
    auto result = std::make_shared<ExtraCaCertificates>();
    std::unique_ptr<BIO, decltype(&BIO_free)> file(BIO_new_file(path.c_str(), "r"), &BIO_free);
    if (file) {
        while (X509* certificate = PEM_read_bio_X509(file.get(), nullptr, nullptr, nullptr)) {
            result->m_certificates.push_back(certificate);
        }
    }
    // Reading stops at the end of the file with an error on OpenSSL's queue;
    // it must not be left there for the next TLS call to trip over.
    ERR_clear_error();
    if (result->m_certificates.empty()) {
        Ex::GetLogger()->Log("The extra CA file \"" + path +
                             "\" holds no readable certificate; it is ignored.");
    }
    return result;
}

} // namespace

void SetExtraCaFile(const std::string& path) {
    TrustState& state = State();
    std::lock_guard lock(state.mutex);
    state.path = path;
}

std::string GetExtraCaFile() {
    TrustState& state = State();
    std::lock_guard lock(state.mutex);
    return state.path;
}

std::shared_ptr<const ExtraCaCertificates> LoadExtraCaCertificates() {
    TrustState& state = State();
    std::lock_guard lock(state.mutex);
    struct stat info {};
    if (state.path.empty() || ::stat(state.path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::make_shared<const ExtraCaCertificates>();
    }
    if (state.loaded && state.loadedPath == state.path && state.loadedTime.tv_sec == info.st_mtim.tv_sec &&
        state.loadedTime.tv_nsec == info.st_mtim.tv_nsec) {
        return state.loaded;
    }
    state.loaded = ReadCertificates(state.path);
    state.loadedPath = state.path;
    state.loadedTime = info.st_mtim;
    return state.loaded;
}

void AddExtraCaCertificatesTo(const ExtraCaCertificates& certificates, void* sslContext) {
    X509_STORE* store = SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(sslContext));
    for (X509* certificate : certificates.m_certificates) {
        // A certificate already in the store is not an error worth reporting.
        X509_STORE_add_cert(store, certificate);
    }
    ERR_clear_error();
}

const SystemTrust& GetSystemTrust() {
    static const SystemTrust trust = [] {
        SystemTrust found;
        for (const char* directory : {"/etc/ssl/certs", "/etc/pki/tls/certs"}) {
            std::error_code error;
            for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
                const std::string name = entry.path().filename().string();
                // OpenSSL's hashed names: eight hexadecimal digits, ".", a number.
                if (name.size() >= 10 && name[8] == '.' && name.find_first_not_of("0123456789abcdef") == 8) {
                    found.hashedDirectory = directory;
                    return found;
                }
            }
        }
        return found;
    }();
    return trust;
}

bool HasCertificates(const ExtraCaCertificates& certificates) {
    return !certificates.m_certificates.empty();
}

} // namespace Web
