#include "ResourceImage.h"

#include <QImageReader>

namespace ThinUI {

ResourceImage::ResourceImage(std::string name, std::string type)
    : m_name(std::move(name)), m_type(std::move(type)) {}

QString ResourceImage::GetPath() const {
    return QStringLiteral(":/res/") + QString::fromStdString(m_type) + u'/' + QString::fromStdString(m_name);
}

bool ResourceImage::Load() {
    if (IsLoaded()) {
        return true;
    }
    QImageReader reader(GetPath());
    // The resource type names the format; the reader still checks the bytes.
    reader.setDecideFormatFromContent(true);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        return false;
    }
    SetBitmap(picture);
    return true;
}

} // namespace ThinUI
