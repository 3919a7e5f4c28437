#pragma once
// Checks detached Ed25519 signatures of downloaded programs and movies. A
// signature is the 64 raw bytes that Ed25519 gives over the whole file (the
// ".sig" beside the file on the content server), so
//     openssl pkeyutl -verify -pubin -inkey KEY.pub -rawin -in FILE -sigfile FILE.sig
// checks the same thing by hand.

#include <memory>
#include <string>
#include <vector>

namespace Glm {

class SignatureVerifier {
public:
    SignatureVerifier();
    ~SignatureVerifier();
    SignatureVerifier(const SignatureVerifier&) = delete;
    SignatureVerifier& operator=(const SignatureVerifier&) = delete;
    SignatureVerifier(SignatureVerifier&&) noexcept;
    SignatureVerifier& operator=(SignatureVerifier&&) noexcept;

    /// Trusts the Ed25519 public key in PEM text (SubjectPublicKeyInfo).
    /// False, with the reason in why, when the text holds no such key.
    bool AddPublicKeyPem(const std::string& pem, std::string& why);
    /// The same for a PEM file; false when it is missing or unreadable.
    bool AddPublicKeyFile(const std::string& path, std::string& why);
    std::size_t GetKeyCount() const { return m_keys.size(); }

    /// True when signature is a valid signature of the file's whole content
    /// by one of the trusted keys. Otherwise false with the reason in why
    /// (no trusted key, unreadable file, wrong signature size, mismatch).
    /// The file is mapped, not copied, so large programs cost no memory.
    bool VerifyFile(const std::string& path, const std::string& signature, std::string& why) const;

private:
    struct KeyFree {
        void operator()(void* key) const;
    };
    std::vector<std::unique_ptr<void, KeyFree>> m_keys; // EVP_PKEY*
};

} // namespace Glm
