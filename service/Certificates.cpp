#include "Certificates.h"

#include "DataFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <stdexcept>
#include <sys/file.h>
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
    WriteAtomically(path, 0600, [key](FILE* file) {
        return PEM_write_PrivateKey(file, key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
    });
}

void WriteCertificate(const std::string& path, X509* cert) {
    WriteAtomically(path, 0644, [cert](FILE* file) { return PEM_write_X509(file, cert) == 1; });
}

KeyPtr ReadKey(const std::string& path) {
    FilePtr file(std::fopen(path.c_str(), "r"));
    if (!file) {
        throw std::runtime_error("Cannot open " + path);
    }
    KeyPtr key(PEM_read_PrivateKey(file.get(), nullptr, nullptr, nullptr));
    if (!key) {
        throw std::runtime_error(path + " is damaged (no private key can be read from it)");
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
        throw std::runtime_error(path + " is damaged (no certificate can be read from it)");
    }
    return cert;
}

/// A pair that cannot be used, reported by file name with the command that makes a new one.
[[noreturn]] void Unusable(const CertificatePaths& paths, const std::string& what) {
    const std::string directory = std::filesystem::path(paths.caCertificate).parent_path().string();
    throw std::runtime_error(what + "; to make new certificates run: glimmeries-service --data " + directory +
                             " certificates renew");
}

void Check(const CertificatePaths& paths) {
    namespace fs = std::filesystem;
    for (const std::string* path : {&paths.caCertificate, &paths.caKey, &paths.certificate, &paths.key}) {
        if (!fs::exists(*path)) {
            Unusable(paths, *path + " is missing");
        }
    }
    try {
        const KeyPtr caKey = ReadKey(paths.caKey);
        const CertPtr ca = ReadCertificate(paths.caCertificate);
        const KeyPtr key = ReadKey(paths.key);
        const CertPtr cert = ReadCertificate(paths.certificate);
        if (X509_check_private_key(ca.get(), caKey.get()) != 1) {
            Unusable(paths, paths.caKey + " is not the key of " + paths.caCertificate);
        }
        if (X509_check_private_key(cert.get(), key.get()) != 1) {
            Unusable(paths, paths.key + " is not the key of " + paths.certificate);
        }
        if (X509_verify(cert.get(), caKey.get()) != 1) {
            Unusable(paths, paths.certificate + " is not signed by " + paths.caCertificate);
        }
    } catch (const std::runtime_error& failure) {
        ERR_clear_error();
        if (std::string(failure.what()).find("certificates renew") != std::string::npos) {
            throw;
        }
        Unusable(paths, failure.what());
    }
    ERR_clear_error();
}

} // namespace

void RenewCertificates(const std::string& dataDirectory) {
    namespace fs = std::filesystem;
    {
        const CertificatesLock lock(dataDirectory);
        for (const char* name : {"server.pem", "server.key", "ca.pem", "ca.key"}) {
            std::error_code ignored;
            fs::remove(fs::path(dataDirectory) / name, ignored);
        }
    }
    bool created = false;
    EnsureCertificates(dataDirectory, created);
}

CertificatePaths EnsureCertificates(const std::string& dataDirectory, bool& created) {
    namespace fs = std::filesystem;
    const fs::path dir(dataDirectory);
    CertificatePaths paths{(dir / "ca.pem").string(), (dir / "ca.key").string(),
                           (dir / "server.pem").string(), (dir / "server.key").string()};
    created = false;
    const CertificatesLock lock(dataDirectory);
    if (!fs::exists(paths.caCertificate) && !fs::exists(paths.caKey)) {
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
        fs::remove(paths.key);
        created = true;
    }
    if (!fs::exists(paths.certificate) && !fs::exists(paths.key)) {
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
    Check(paths);
    return paths;
}

} // namespace Service
