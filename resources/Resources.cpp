#include "Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares a function of the global namespace, so it is called from one.
static void InitArt() {
    Q_INIT_RESOURCE(glm_art);
}

void GlmInitResources() {
    static const bool once = [] {
        InitArt();
        return true;
    }();
    (void)once;
}

QString GlmResourcePath(const QString& type, const QString& name) {
    return QStringLiteral(":/res/") + type + QLatin1Char('/') + name;
}
