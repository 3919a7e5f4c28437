#include "Tools/CatalogueStrip.h"

#include "ThinUI/ResourceImage.h"
#include "common/Ex/Logger.h"

#include <QPainter>

namespace Glm {

PictureStrip::PictureStrip(int imageWidth, int imageHeight) : m_width(imageWidth), m_height(imageHeight) {}

QImage PictureStrip::GetPicture(std::int32_t index) const {
    if (index < 0 || index >= GetCount()) {
        return {};
    }
    return m_pictures[static_cast<std::size_t>(index)];
}

std::int32_t PictureStrip::Add(const std::string& imageName) {
    QImage cell(m_width, m_height, QImage::Format_ARGB32_Premultiplied);
    cell.fill(Qt::transparent);
    ThinUI::ResourceImage picture(imageName, "JPG");
    if (picture.Load()) {
        QPainter painter(&cell);
        const QImage& bitmap = picture.GetBitmap();
        if (bitmap.width() == m_width && bitmap.height() == m_height) {
            painter.drawImage(0, 0, bitmap);
        } else {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(QRect(0, 0, m_width, m_height), bitmap);
        }
    } else {
        // A catalogue may list entries newer than the program's pictures;
        // the entry still shows with its name.
        Ex::GetLogger()->Log("Picture " + imageName + " is missing, its strip cell stays empty");
    }
    m_pictures.push_back(std::move(cell));
    return GetCount() - 1;
}

std::int32_t LoadCharmStrip(CharmInventory& catalogue, const std::string& contentBaseUrl, PictureStrip& strip,
                            int& imageWidth, int& imageHeight) {
    strip.Clear();
    imageWidth = strip.GetImageWidth();
    imageHeight = strip.GetImageHeight();
    return catalogue.Load(contentBaseUrl, [&](const std::string& imageName) { return strip.Add(imageName); });
}

std::int32_t LoadButterflyStrip(ButterflyInventory& catalogue, const std::string& contentBaseUrl,
                                std::vector<ButterflyRecord>& butterflies, PictureStrip& strip,
                                int& imageWidth, int& imageHeight) {
    strip.Clear();
    imageWidth = strip.GetImageWidth();
    imageHeight = strip.GetImageHeight();
    const std::size_t first = butterflies.size();
    const std::int32_t result = catalogue.Init(contentBaseUrl, butterflies);
    // What was read before a failure is pictured too, so positions in the
    // strip and in the list agree whatever happened.
    for (std::size_t i = first; i < butterflies.size(); ++i) {
        butterflies[i].imageIndex = strip.Add(butterflies[i].imageName);
    }
    return result;
}

std::string ButterflyPopupImageName(const std::vector<ButterflyRecord>& butterflies, std::int32_t position) {
    if (position < 0 || static_cast<std::size_t>(position) >= butterflies.size()) {
        return {};
    }
    return butterflies[static_cast<std::size_t>(position)].popupImageName;
}

std::string CharmPopupImageName(const CharmInventory& catalogue, std::int32_t charmId) {
    const CharmRecord* charm = catalogue.FindCharm(charmId);
    return charm != nullptr ? charm->popupImageName : std::string();
}

} // namespace Glm
