#pragma once

#include "Image.h"

#include <QString>
#include <string>

namespace ThinUI {

/// A picture compiled into the program, found as :/res/TYPE/NAME ("JPG" for
/// pictures and buttons, "GIF" for window masks). On a screen with a device
/// pixel ratio above 1, :/res/TYPE/NAME@2x is used instead where it exists.
class ResourceImage : public Image {
public:
    ResourceImage(std::string name, std::string type);

    /// Reads and decodes the resource. False when it is missing or cannot be
    /// decoded; nothing is reported, the control using it stays invisible.
    bool Load() override;

    const std::string& GetName() const { return m_name; }
    const std::string& GetType() const { return m_type; }
    /// The resource path, e.g. ":/res/JPG/EXIT_BUTTONS".
    QString GetPath() const;

private:
    static QImage Read(const QString& path);

    std::string m_name;
    std::string m_type;
};

} // namespace ThinUI
