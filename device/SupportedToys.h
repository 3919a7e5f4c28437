#pragma once
// The USB identities of the toys the application serves, and their names.

#include <cstdint>

namespace GlmDev {

constexpr std::uint16_t kToyVendorId = 0x1D9B;
constexpr std::uint16_t kBraceletProductId = 0x1011;
constexpr std::uint16_t kGameProductId = 0x1012;
constexpr std::uint16_t kJewelryBoxProductId = 0x1013;

/// True for the vendor and the three products of the toy family.
bool IsSupportedToy(std::uint16_t vendorId, std::uint16_t productId);

/// "bracelet", "game" or "jewelrybox" (the words the web service uses);
/// nullptr for any other product.
const char* KindWord(std::uint32_t productId);

/// The product id for a kind word; 0 when the word names no toy.
std::uint16_t ProductIdForKindWord(const char* word);

} // namespace GlmDev
