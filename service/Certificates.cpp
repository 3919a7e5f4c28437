#include "Certificates.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace Service {

namespace {

struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertFree {
    void operator()(X509* cert) const { X509_free(cert); }
};
struct FileClose {
    void operator()(FILE* file) const { std::fclose(file); }
};
using KeyPtr = std::unique_ptr<EVP_PKEY, KeyFree>;
using CertPtr = std::unique_ptr<X509, CertFree>;
using FilePtr = std::unique_ptr<FILE, FileClose>;

[[noreturn]] void Fail(const std::string& call) {
    char reason[256] = "unknown error";
    const unsigned long code = ERR_get_error();
    if (code != 0) {
        ERR_error_string_n(code, reason, sizeof reason);
    }
    throw std::runtime_error("Call to " + call + " failed: " + reason);
}

KeyPtr NewKey() {
    KeyPtr key(EVP_EC_gen("P-256"));
    if (!key) {
        Fail("EVP_EC_gen");
    }
    return key;
}

void AddExtension(X509* cert, X509* issuer, int nid, const char* value) {
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    if (extension == nullptr) {
        Fail("X509V3_EXT_conf_nid");
    }
    const int added = X509_add_ext(cert, extension, -1);
    X509_EXTENSION_free(extension);
    if (added != 1) {
        Fail("X509_add_ext");
    }
}

CertPtr NewCertificate(EVP_PKEY* key, const char* commonName, long days) {
    CertPtr cert(X509_new());
    if (!cert) {
        Fail("X509_new");
    }
    X509_set_version(cert.get(), 2);
    unsigned char serial[16];
    FilePtr random(std::fopen("/dev/urandom", "rb"));
    if (!random || std::fread(serial, 1, sizeof serial, random.get()) != sizeof serial) {
        throw std::runtime_error("Cannot read /dev/urandom for a certificate serial number");
    }
    serial[0] &= 0x7f;
    BIGNUM* number = BN_bin2bn(serial, sizeof serial, nullptr);
    BN_to_ASN1_INTEGER(number, X509_get_serialNumber(cert.get()));
    BN_free(number);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), days * 24 * 3600);
    X509_set_pubkey(cert.get(), key);
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("Glimmeries"),
                               -1, -1, 0);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName),
                               -1, -1, 0);
    return cert;
}

void WriteKey(const std::string& path, EVP_PKEY* key) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        throw std::runtime_error("Cannot create " + path);
    }
    FilePtr file(::fdopen(fd, "w"));
    if (!file) {
        ::close(fd);
        throw std::runtime_error("Cannot open " + path);
    }
    if (PEM_write_PrivateKey(file.get(), key, nullptr, nullptr, 0, nullptr, nullptr) != 1) {
        Fail("PEM_write_PrivateKey");
    }
}

void WriteCertificate(const std::string& path, X509* cert) {
    FilePtr file(std::fopen(path.c_str(), "w"));
    if (!file || PEM_write_X509(file.get(), cert) != 1) {
        throw std::runtime_error("Cannot write " + path);
    }
}

KeyPtr ReadKey(const std::string& path) {
    FilePtr file(std::fopen(path.c_str(), "r"));
    if (!file) {
        throw std::runtime_error("Cannot open " + path);
    }
    KeyPtr key(PEM_read_PrivateKey(file.get(), nullptr, nullptr, nullptr));
    if (!key) {
        Fail("PEM_read_PrivateKey (" + path + ")");
    }
    return key;
}

CertPtr ReadCertificate(const std::string& path) {
    FilePtr file(std::fopen(path.c_str(), "r"));
    if (!file) {
        throw std::runtime_error("Cannot open " + path);
    }
    CertPtr cert(PEM_read_X509(file.get(), nullptr, nullptr, nullptr));
    if (!cert) {
        Fail("PEM_read_X509 (" + path + ")");
    }
    return cert;
}

} // namespace

CertificatePaths EnsureCertificates(const std::string& dataDirectory, bool& created) {
    namespace fs = std::filesystem;
    const fs::path dir(dataDirectory);
    CertificatePaths paths{(dir / "ca.pem").string(), (dir / "ca.key").string(),
                           (dir / "server.pem").string(), (dir / "server.key").string()};
    created = false;
    if (!fs::exists(paths.caCertificate) || !fs::exists(paths.caKey)) {
        KeyPtr caKey = NewKey();
        CertPtr ca = NewCertificate(caKey.get(), "Glimmeries local service authority", 3650);
        X509_set_issuer_name(ca.get(), X509_get_subject_name(ca.get()));
        AddExtension(ca.get(), ca.get(), NID_basic_constraints, "critical,CA:TRUE,pathlen:0");
        AddExtension(ca.get(), ca.get(), NID_key_usage, "critical,keyCertSign,cRLSign");
        AddExtension(ca.get(), ca.get(), NID_subject_key_identifier, "hash");
        if (X509_sign(ca.get(), caKey.get(), EVP_sha256()) == 0) {
            Fail("X509_sign");
        }
        WriteKey(paths.caKey, caKey.get());
        WriteCertificate(paths.caCertificate, ca.get());
        fs::remove(paths.certificate);
        created = true;
    }
    if (!fs::exists(paths.certificate) || !fs::exists(paths.key)) {
        KeyPtr caKey = ReadKey(paths.caKey);
        CertPtr ca = ReadCertificate(paths.caCertificate);
        KeyPtr key = NewKey();
        CertPtr cert = NewCertificate(key.get(), "127.0.0.1", 825);
        X509_set_issuer_name(cert.get(), X509_get_subject_name(ca.get()));
        AddExtension(cert.get(), ca.get(), NID_basic_constraints, "critical,CA:FALSE");
        AddExtension(cert.get(), ca.get(), NID_key_usage, "critical,digitalSignature,keyEncipherment");
        AddExtension(cert.get(), ca.get(), NID_ext_key_usage, "serverAuth");
        AddExtension(cert.get(), ca.get(), NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
        if (X509_sign(cert.get(), caKey.get(), EVP_sha256()) == 0) {
            Fail("X509_sign");
        }
        WriteKey(paths.key, key.get());
        WriteCertificate(paths.certificate, cert.get());
    }
    return paths;
}

} // namespace Service
