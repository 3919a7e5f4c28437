#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace Service {

/// How a Fairy looks: the avatar element handed to the avatar movies.
struct AvatarLook {
    std::string skin = "#F1C7A5";
    int hairStyle = 1;
    std::string hairColor = "#6B3E26";
    std::string eyesColor = "#3A6EA5";
    int dressStyle = 1;
    std::string dressColor = "#C86DD7";
    int wingsStyle = 1;
    std::string wingsColor = "#9FD8F5";

    /// The inner elements (body, hair, eyes, dress, wings) as stored and served.
    std::string ToXml() const;
    /// Reads an `<avatar>` document or the inner elements alone. Missing parts keep their
    /// defaults; a colour that is not #RRGGBB or a style outside 1..9 makes it fail.
    static std::optional<AvatarLook> FromXml(const std::string& text);
    /// True for "#RRGGBB".
    static bool IsColor(const std::string& text);
};

/// The full avatar element, with the tagalong only while a butterfly flies.
std::string AvatarElement(const std::string& look, std::int64_t butterfly, std::int64_t days);

} // namespace Service
