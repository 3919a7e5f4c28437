#pragma once
// The catalogues as the scrolling picture strips of the charm and point
// screens: every entry's picture, all of one size, in catalogue order, and
// each record told the position of its picture.

#include "webapi/ButterflyInventory.h"
#include "webapi/CatalogueRecords.h"
#include "webapi/CharmInventory.h"

#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

namespace Glm {

/// Pictures of one size in the order they were added; an index is a
/// position in the strip. The list views of the screens take their icons
/// from it.
class PictureStrip {
public:
    PictureStrip(int imageWidth, int imageHeight);

    int GetImageWidth() const { return m_width; }
    int GetImageHeight() const { return m_height; }
    std::int32_t GetCount() const { return static_cast<std::int32_t>(m_pictures.size()); }
    /// The picture at index; a null image outside the strip.
    QImage GetPicture(std::int32_t index) const;

    /// Loads the picture resource imageName (type "JPG"), draws it into a
    /// cell of the strip's size (scaled when its size differs) and appends
    /// it. A picture the program does not carry leaves a transparent cell
    /// and a log record, so the entries after it keep their positions.
    /// Returns the new picture's index.
    std::int32_t Add(const std::string& imageName);
    /// Empties the strip.
    void Clear() { m_pictures.clear(); }

private:
    int m_width;
    int m_height;
    std::vector<QImage> m_pictures;
};

/// The size of a charm's list picture and of a butterfly's strip picture.
constexpr int kCharmImageWidth = 89;
constexpr int kCharmImageHeight = 51;
constexpr int kButterflyImageWidth = 368;
constexpr int kButterflyImageHeight = 56;

/// The charm catalogue for the charm page: loads the list at contentBaseUrl
/// into catalogue (replacing its list, so GetItems, ReadTouch and FindCharm
/// answer from it) and fills strip (emptied first) with an 89 x 51 picture
/// per charm in catalogue order; each record's imageIndex is its picture's
/// position. imageWidth and imageHeight receive 89 and 51, also on
/// failure. 0 on success; the catalogue's failure (1) otherwise, with the
/// charms read before it kept and pictured.
std::int32_t LoadCharmStrip(CharmInventory& catalogue, const std::string& contentBaseUrl, PictureStrip& strip,
                            int& imageWidth, int& imageHeight);

/// The butterfly strip of the redeem screen: appends the butterflies of the
/// list at contentBaseUrl to butterflies and fills strip (emptied first)
/// with a 368 x 56 picture per butterfly; imageWidth (368) is the strip's
/// scroll step. 0 on success; 1 on failure, with the butterflies read
/// before it kept and pictured.
std::int32_t LoadButterflyStrip(ButterflyInventory& catalogue, const std::string& contentBaseUrl,
                                std::vector<ButterflyRecord>& butterflies, PictureStrip& strip,
                                int& imageWidth, int& imageHeight);

/// The popup picture of the butterfly at a strip position (the redeem
/// screen chooses butterflies by position); empty outside the list.
std::string ButterflyPopupImageName(const std::vector<ButterflyRecord>& butterflies, std::int32_t position);
/// The popup picture of the charm with id; empty when the catalogue lacks it.
std::string CharmPopupImageName(const CharmInventory& catalogue, std::int32_t charmId);

} // namespace Glm
