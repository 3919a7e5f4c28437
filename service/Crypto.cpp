#include "Crypto.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <stdexcept>
#include <vector>

namespace Service {

namespace {

constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;

std::string ToHex(const unsigned char* data, std::size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 0x0f];
    }
    return out;
}

bool FromHex(std::string_view hex, std::vector<unsigned char>& out) {
    if (hex.size() % 2 != 0) {
        return false;
    }
    out.clear();
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        int value = 0;
        for (std::size_t k = i; k < i + 2; ++k) {
            const char c = hex[k];
            value <<= 4;
            if (c >= '0' && c <= '9') {
                value |= c - '0';
            } else if (c >= 'a' && c <= 'f') {
                value |= c - 'a' + 10;
            } else {
                return false;
            }
        }
        out.push_back(static_cast<unsigned char>(value));
    }
    return true;
}

std::vector<unsigned char> Derive(std::string_view password, const std::vector<unsigned char>& salt,
                                  int iterations) {
    std::vector<unsigned char> hash(kHashBytes);
    if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt.data(),
                          static_cast<int>(salt.size()), iterations, EVP_sha256(), kHashBytes,
                          hash.data()) != 1) {
        throw std::runtime_error("Call to PKCS5_PBKDF2_HMAC failed");
    }
    return hash;
}

void RandomBytes(unsigned char* data, int size) {
    if (RAND_bytes(data, size) != 1) {
        throw std::runtime_error("Call to RAND_bytes failed");
    }
}

} // namespace

std::string HashPassword(std::string_view password, int iterations) {
    std::vector<unsigned char> salt(kSaltBytes);
    RandomBytes(salt.data(), kSaltBytes);
    const auto hash = Derive(password, salt, iterations);
    return "pbkdf2-sha256$" + std::to_string(iterations) + "$" + ToHex(salt.data(), salt.size()) + "$" +
           ToHex(hash.data(), hash.size());
}

bool VerifyPassword(std::string_view password, std::string_view stored) {
    const std::string_view prefix = "pbkdf2-sha256$";
    if (stored.substr(0, prefix.size()) != prefix) {
        return false;
    }
    stored.remove_prefix(prefix.size());
    const auto first = stored.find('$');
    const auto second = first == std::string_view::npos ? first : stored.find('$', first + 1);
    if (second == std::string_view::npos) {
        return false;
    }
    int iterations = 0;
    try {
        iterations = std::stoi(std::string(stored.substr(0, first)));
    } catch (const std::exception&) {
        return false;
    }
    std::vector<unsigned char> salt;
    std::vector<unsigned char> expected;
    if (iterations < 1 || !FromHex(stored.substr(first + 1, second - first - 1), salt) ||
        !FromHex(stored.substr(second + 1), expected) || expected.size() != kHashBytes) {
        return false;
    }
    const auto actual = Derive(password, salt, iterations);
    return CRYPTO_memcmp(actual.data(), expected.data(), kHashBytes) == 0;
}

std::string RandomHex(int bytes) {
    std::vector<unsigned char> data(static_cast<std::size_t>(bytes));
    RandomBytes(data.data(), bytes);
    return ToHex(data.data(), data.size());
}

unsigned RandomNumber(unsigned low, unsigned high) {
    const unsigned long long span = static_cast<unsigned long long>(high) - low + 1;
    const unsigned long long limit = (1ULL << 32) - ((1ULL << 32) % span);
    for (;;) {
        unsigned char data[4];
        RandomBytes(data, 4);
        const unsigned long long value = (static_cast<unsigned long long>(data[0]) << 24) |
                                         (static_cast<unsigned long long>(data[1]) << 16) |
                                         (static_cast<unsigned long long>(data[2]) << 8) | data[3];
        if (value < limit) {
            return static_cast<unsigned>(low + value % span);
        }
    }
}

} // namespace Service
