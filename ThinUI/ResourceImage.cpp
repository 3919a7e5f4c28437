#include "ResourceImage.h"

#include <QFile>
#include <QGuiApplication>
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
    // On a dense screen the picture drawn at twice the size is used when
    // the program carries one, so lettering and edges stay crisp.
    const qreal screenRatio = qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
    if (screenRatio > 1.0 && QFile::exists(GetPath() + QStringLiteral("@2x"))) {
        QImage dense = Read(GetPath() + QStringLiteral("@2x"));
        if (!dense.isNull()) {
            dense.setDevicePixelRatio(2.0);
            SetBitmap(dense);
            return true;
        }
    }
    const QImage picture = Read(GetPath());
    if (picture.isNull()) {
        return false;
    }
    SetBitmap(picture);
    return true;
}

QImage ResourceImage::Read(const QString& path) {
    QImageReader reader(path);
    // The resource type names the format; the reader still checks the bytes.
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

} // namespace ThinUI
