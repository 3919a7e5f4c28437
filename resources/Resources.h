#pragma once
// The pictures and sounds compiled into the application. Each lives at
// ":/res/<TYPE>/<NAME>": TYPE is "JPG" (pictures, button strips), "GIF" (window masks),
// "WAV" (sounds) or "ICON" (the application icon, NAME "128_<pixels>").

#include <QString>

/// Registers the compiled-in pictures and sounds with Qt's resource system. The resources
/// sit in a static library, so a program calls this once before its first look-up; calling
/// it again does no harm. Never fails.
void GlmInitResources();

/// The resource path of a resource: ":/res/" + type + "/" + name, e.g.
/// GlmResourcePath("JPG", "EXIT_BUTTONS") is ":/res/JPG/EXIT_BUTTONS".
QString GlmResourcePath(const QString& type, const QString& name);
