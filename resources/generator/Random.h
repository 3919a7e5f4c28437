#pragma once
// A small seeded generator so every run scatters sparkles and noise identically.

#include <cstdint>

namespace Art {

class Random {
public:
    explicit Random(std::uint32_t seed) : m_state(seed ? seed : 0x9E3779B9u) {}

    /// Next raw 32-bit value (xorshift32).
    std::uint32_t Next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }

    /// Uniform value in [low, high).
    double Uniform(double low, double high) {
        return low + (high - low) * (static_cast<double>(Next() >> 8) / static_cast<double>(1u << 24));
    }

private:
    std::uint32_t m_state;
};

/// A seed derived from a resource name, so each picture has its own stable pattern.
inline std::uint32_t SeedOf(const char16_t* text, std::uint32_t length) {
    std::uint32_t hash = 2166136261u;
    for (std::uint32_t i = 0; i < length; ++i) {
        hash = (hash ^ text[i]) * 16777619u;
    }
    return hash;
}

} // namespace Art
