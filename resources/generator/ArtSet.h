#pragma once
// The generated resources in memory, and how they are written: one file per resource under
// <TYPE>/<NAME>.<ext>, a Qt resource collection listing them, and the resource table.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

namespace Art {

struct Resource {
    QString name; // e.g. "EXIT_BUTTONS"
    QString type; // "JPG", "GIF", "WAV" or "ICON"
    QString extension;
    QByteArray bytes;
    int width = 0; // pixels of the whole image (0 for sounds)
    int height = 0;
    int frames = 0; // vertical frames of a strip, 1 for pictures, 0 for sounds
    QString where;  // where the application shows or plays it
    QImage image;   // the decoded picture, for the preview sheets
};

class ArtSet {
public:
    /// Adds a JPEG picture (quality fixed so every run writes the same bytes).
    void AddJpeg(const QString& name, const QImage& image, int frames, const QString& where);
    /// Adds a two-colour GIF mask.
    void AddMask(const QString& name, const QImage& image, const QString& where);
    /// Adds a PNG icon under type ICON.
    void AddIcon(const QString& name, const QImage& image, const QString& where);
    /// Adds a WAV sound.
    void AddSound(const QString& name, const QByteArray& wav, double seconds, const QString& where);

    const std::vector<Resource>& Resources() const { return m_resources; }
    const Resource* Find(const QString& name) const;

    /// Writes every file below `directory` plus "glm_art.qrc"; throws std::runtime_error on a write failure.
    void WriteFiles(const QString& directory) const;

    /// The markdown table of every resource.
    QString Table() const;

    /// Replaces the text between the table markers of the file at `path` with Table(); throws
    /// std::runtime_error when the file cannot be read or written or has no markers.
    void UpdateReadme(const QString& path) const;

private:
    std::vector<Resource> m_resources;
};

/// Writes `bytes` to `path`, creating its directory; throws std::runtime_error on failure.
void WriteFile(const QString& path, const QByteArray& bytes);

} // namespace Art
