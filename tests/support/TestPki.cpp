#include "tests/support/TestPki.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <stdexcept>

namespace WebTest {

namespace {

using KeyPtr = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using CertPtr = std::unique_ptr<X509, decltype(&X509_free)>;

void Check(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(std::string("test PKI: ") + what + " failed");
    }
}

KeyPtr NewKey() {
    KeyPtr key(EVP_EC_gen("P-256"), &EVP_PKEY_free);
    Check(key != nullptr, "EVP_EC_gen");
    return key;
}

void AddExtension(X509* certificate, X509* issuer, int nid, const char* value) {
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    Check(extension != nullptr, "X509V3_EXT_conf_nid");
    X509_add_ext(certificate, extension, -1);
    X509_EXTENSION_free(extension);
}

CertPtr NewCertificate(EVP_PKEY* key, const char* commonName, X509* issuer, EVP_PKEY* issuerKey, long serial,
                       bool authority) {
    CertPtr certificate(X509_new(), &X509_free);
    Check(certificate != nullptr, "X509_new");
    X509_set_version(certificate.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), serial);
    X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(certificate.get()), 2L * 24 * 3600);
    X509_set_pubkey(certificate.get(), key);
    X509_NAME* name = X509_get_subject_name(certificate.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName),
                               -1, -1, 0);
    X509* signer = issuer != nullptr ? issuer : certificate.get();
    X509_set_issuer_name(certificate.get(), X509_get_subject_name(signer));
    if (authority) {
        AddExtension(certificate.get(), signer, NID_basic_constraints, "critical,CA:TRUE");
        AddExtension(certificate.get(), signer, NID_key_usage, "critical,keyCertSign,cRLSign");
        AddExtension(certificate.get(), signer, NID_subject_key_identifier, "hash");
    } else {
        AddExtension(certificate.get(), signer, NID_basic_constraints, "CA:FALSE");
        AddExtension(certificate.get(), signer, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
        AddExtension(certificate.get(), signer, NID_ext_key_usage, "serverAuth");
        AddExtension(certificate.get(), signer, NID_authority_key_identifier, "keyid");
    }
    Check(X509_sign(certificate.get(), issuerKey != nullptr ? issuerKey : key, EVP_sha256()) > 0,
          "X509_sign");
    return certificate;
}

void WritePem(const std::string& path, X509* certificate, EVP_PKEY* key) {
    std::unique_ptr<FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "w"), &std::fclose);
    Check(file != nullptr, "fopen");
    if (certificate != nullptr) {
        Check(PEM_write_X509(file.get(), certificate) == 1, "PEM_write_X509");
    }
    if (key != nullptr) {
        Check(PEM_write_PrivateKey(file.get(), key, nullptr, nullptr, 0, nullptr, nullptr) == 1,
              "PEM_write_PrivateKey");
    }
}

} // namespace

TestPki MakeTestPki(const std::string& directory, const std::string& prefix) {
    KeyPtr caKey = NewKey();
    CertPtr ca = NewCertificate(caKey.get(), (prefix + " Test Authority").c_str(), nullptr, nullptr, 1, true);
    KeyPtr serverKey = NewKey();
    CertPtr server = NewCertificate(serverKey.get(), "127.0.0.1", ca.get(), caKey.get(), 2, false);
    TestPki pki{directory + "/" + prefix + "-ca.pem", directory + "/" + prefix + "-server.pem",
                directory + "/" + prefix + "-server.key"};
    WritePem(pki.caFile, ca.get(), nullptr);
    WritePem(pki.certificateFile, server.get(), nullptr);
    WritePem(pki.keyFile, nullptr, serverKey.get());
    return pki;
}

} // namespace WebTest
