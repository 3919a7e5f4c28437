#include "ArtSet.h"

#include "GifWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <stdexcept>

namespace Art {

namespace {

constexpr int kJpegQuality = 88;

QByteArray Encode(const QImage& image, const char* format, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0) {
        writer.setQuality(quality);
    }
    if (!writer.write(image)) {
        throw std::runtime_error("cannot encode " + std::string(format) + ": " +
                                 writer.errorString().toStdString());
    }
    return bytes;
}

const QString kBegin = QStringLiteral("<!-- BEGIN RESOURCE TABLE (written by glm_artgen) -->");
const QString kEnd = QStringLiteral("<!-- END RESOURCE TABLE -->");

} // namespace

void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        throw std::runtime_error("cannot write " + path.toStdString() + ": " +
                                 file.errorString().toStdString());
    }
}

void ArtSet::AddJpeg(const QString& name, const QImage& image, int frames, const QString& where) {
    const QImage flat = image.convertToFormat(QImage::Format_RGB32);
    Resource r{name,
               QStringLiteral("JPG"),
               QStringLiteral("jpg"),
               Encode(flat, "jpeg", kJpegQuality),
               flat.width(),
               flat.height(),
               frames,
               where,
               flat};
    m_resources.push_back(r);
}

void ArtSet::AddMask(const QString& name, const QImage& image, const QString& where) {
    m_resources.push_back(Resource{name, QStringLiteral("GIF"), QStringLiteral("gif"),
                                   EncodeTwoColourGif(image), image.width(), image.height(), 1, where,
                                   image});
}

void ArtSet::AddIcon(const QString& name, const QImage& image, const QString& where) {
    m_resources.push_back(Resource{name, QStringLiteral("ICON"), QStringLiteral("png"),
                                   Encode(image, "png", -1), image.width(), image.height(), 1, where, image});
}

void ArtSet::AddSound(const QString& name, const QByteArray& wav, double seconds, const QString& where) {
    Resource r{name,
               QStringLiteral("WAV"),
               QStringLiteral("wav"),
               wav,
               0,
               0,
               0,
               where + QStringLiteral(" (%1 s)").arg(seconds, 0, 'f', 2),
               QImage()};
    m_resources.push_back(r);
}

const Resource* ArtSet::Find(const QString& name) const {
    for (const Resource& resource : m_resources) {
        if (resource.name == name) {
            return &resource;
        }
    }
    return nullptr;
}

void ArtSet::WriteFiles(const QString& directory) const {
    QByteArray qrc(
        "<!DOCTYPE RCC>\n<!-- written by glm_artgen: every picture and sound of the application -->\n"
        "<RCC version=\"1.0\">\n<qresource prefix=\"/res\">\n");
    for (const Resource& r : m_resources) {
        const QString relative = r.type + QLatin1Char('/') + r.name + QLatin1Char('.') + r.extension;
        WriteFile(directory + QLatin1Char('/') + relative, r.bytes);
        qrc += "    <file alias=\"" + (r.type + QLatin1Char('/') + r.name).toUtf8() + "\">" +
               relative.toUtf8() + "</file>\n";
    }
    qrc += "</qresource>\n</RCC>\n";
    WriteFile(directory + QStringLiteral("/glm_art.qrc"), qrc);
}

QString ArtSet::Table() const {
    QString table =
        QStringLiteral("| Name | Type | Size (whole file) | Frames | Where used |\n|---|---|---|---|---|\n");
    for (const Resource& r : m_resources) {
        const QString size = r.type == QLatin1String("WAV")
                                 ? QStringLiteral("-")
                                 : QStringLiteral("%1x%2").arg(r.width).arg(r.height);
        const QString frames =
            r.type == QLatin1String("WAV") ? QStringLiteral("-") : QString::number(r.frames);
        table += QStringLiteral("| %1 | %2 | %3 | %4 | %5 |\n").arg(r.name, r.type, size, frames, r.where);
    }
    return table;
}

void ArtSet::UpdateReadme(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("cannot read " + path.toStdString());
    }
    QString text = QString::fromUtf8(file.readAll());
    file.close();
    const qsizetype begin = text.indexOf(kBegin);
    const qsizetype end = text.indexOf(kEnd);
    if (begin < 0 || end < begin) {
        throw std::runtime_error("no resource table markers in " + path.toStdString());
    }
    const qsizetype from = begin + kBegin.size();
    text.replace(from, end - from, QStringLiteral("\n") + Table());
    WriteFile(path, text.toUtf8());
}

} // namespace Art
