// glm_artgen: paints every picture and synthesises every sound of the application.
//
//   glm_artgen --out <dir> [--readme <README.md>] [--preview <dir>] [--icons <dir>]
//
// Writes <dir>/<TYPE>/<NAME>.<ext> and <dir>/art.qrc, rewrites the resource table of the
// README, and optionally the review sheets and the desktop icons. The same sources always
// give the same bytes.

#include "Art.h"
#include "ArtSet.h"
#include "Catalogue.h"
#include "Layout.h"
#include "Painting.h"
#include "Preview.h"
#include "Sounds.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QStringList>
#include <cstdio>
#include <exception>

namespace {

const char* const kBackgrounds[] = {"BACKGROUND_MAIN",
                                    "BACKGROUND_SIGNIN",
                                    "BACKGROUND_SIGNUP",
                                    "BACKGROUND_DEVICEMNGR",
                                    "BACKGROUND_DEVICE_RESET",
                                    "BACKGROUND_SETUPBRACELET",
                                    "BACKGROUND_CHANGEBRACELET",
                                    "BACKGROUND_ADDCHARMS",
                                    "BACKGROUND_CHARMS_COLLECTION",
                                    "BACKGROUND_ADD_GLINT_POINTS",
                                    "BACKGROUND_REDEEM_GLINT_POINTS",
                                    "BACKGROUND_SPLASH"};

const int kIconSizes[] = {16, 32, 48, 64, 128, 256};

QString ScreensShowing(const QString& background) {
    QStringList titles;
    for (const Art::Screen& screen : Art::Screens()) {
        const QString title = screen.title.section(QStringLiteral(" ("), 0, 0);
        if (screen.background == background && !titles.contains(title)) {
            titles.append(title);
        }
    }
    return titles.isEmpty() ? QStringLiteral("bracelet set-up (kept beside the bracelet page's own)")
                            : titles.join(QStringLiteral(", "));
}

QString WhereFor(const QString& name) {
    if (name.startsWith(QLatin1String("CHARM_"))) {
        return QStringLiteral("charm list (image list item)");
    }
    if (name.startsWith(QLatin1String("POPUP_CHARM_"))) {
        return QStringLiteral("charm congratulation popup");
    }
    if (name.startsWith(QLatin1String("BUTTERFLY_"))) {
        return QStringLiteral("butterfly strip of the redeem page");
    }
    if (name.startsWith(QLatin1String("POPUP_BUTTERFLY_"))) {
        return QStringLiteral("butterfly congratulation popup");
    }
    if (name.startsWith(QLatin1String("DEVICE_")) && !name.contains(QLatin1String("ARROW"))) {
        return QStringLiteral("devices list (image list item)");
    }
    if (name.startsWith(QLatin1String("ACTION_"))) {
        return QStringLiteral("devices list without a toy (image list item)");
    }
    if (name.startsWith(QLatin1String("FAIRY")) && !name.contains(QLatin1String("BUTTONS"))) {
        return QStringLiteral("friendship list (image list item)");
    }
    if (name.startsWith(QLatin1String("TUTORIAL_")) && !name.endsWith(QLatin1String("BUTTONS"))) {
        return QStringLiteral("tutorial page");
    }
    if (name.endsWith(QLatin1String("_USE"))) {
        return QStringLiteral("set-up congratulation popup (how-to picture)");
    }
    const QString where = Art::WhereUsed(name);
    return where.isEmpty() ? QStringLiteral("-") : where;
}

Art::ArtSet MakeArt() {
    Art::ArtSet art;
    for (const char* name : kBackgrounds) {
        const QString n = QString::fromLatin1(name);
        art.AddJpeg(n, Art::PaintBackground(n), 1, ScreensShowing(n));
    }
    art.AddMask(QStringLiteral("BACKGROUND_MASK"), Art::PaintMask(false),
                QStringLiteral("shape of the frame window"));
    art.AddMask(QStringLiteral("BACKGROUND_POPUP_MASK"), Art::PaintMask(true),
                QStringLiteral("shape of every popup"));
    for (const Art::ImageSize& size : Art::ImageSizes()) {
        const QImage image = Art::IsButton(size.name) ? Art::PaintButtonStrip(size) : Art::PaintPicture(size);
        art.AddJpeg(size.name, image, size.frames, WhereFor(size.name));
    }
    // Buttons and pictures drawn at twice the size for dense screens (device pixel ratio 2),
    // which the application uses instead of scaling the ones above; lettering stays crisp.
    for (const Art::ImageSize& size : Art::ImageSizes()) {
        const QImage image =
            Art::IsButton(size.name) ? Art::PaintButtonStrip(size, 2) : Art::PaintPicture(size, 2);
        if (!image.isNull()) {
            art.AddJpeg(size.name + QStringLiteral("@2x"), image, size.frames,
                        QStringLiteral("%1 at scale 2").arg(size.name));
        }
    }
    for (int pixels : kIconSizes) {
        art.AddIcon(QStringLiteral("128_%1").arg(pixels), Art::PaintIcon(pixels),
                    QStringLiteral("application icon 128: window, tray and desktop"));
    }
    for (const Art::SoundEffect& sound : Art::MakeSounds()) {
        art.AddSound(sound.name, sound.wav, sound.seconds, sound.purpose);
    }
    return art;
}

int Usage() {
    std::fputs("usage: glm_artgen --out <dir> [--readme <README.md>] [--preview <dir>] [--icons <dir>]\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    // Painting needs fonts but no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QString out, readme, preview, icons;
    const QStringList arguments = QGuiApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (i + 1 >= arguments.size()) {
            return Usage();
        }
        const QString value = arguments[++i];
        if (argument == QLatin1String("--out")) {
            out = value;
        } else if (argument == QLatin1String("--readme")) {
            readme = value;
        } else if (argument == QLatin1String("--preview")) {
            preview = value;
        } else if (argument == QLatin1String("--icons")) {
            icons = value;
        } else {
            return Usage();
        }
    }
    if (out.isEmpty()) {
        return Usage();
    }
    try {
        Art::LoadLetteringFace();
        const Art::ArtSet art = MakeArt();
        art.WriteFiles(out);
        if (!readme.isEmpty()) {
            art.UpdateReadme(readme);
        }
        if (!preview.isEmpty()) {
            Art::WritePreviews(art, preview);
        }
        if (!icons.isEmpty()) {
            for (int pixels : kIconSizes) {
                const Art::Resource* icon = art.Find(QStringLiteral("128_%1").arg(pixels));
                Art::WriteFile(icons + QStringLiteral("/hicolor/%1x%1/apps/glimmeries.png").arg(pixels),
                               icon->bytes);
            }
        }
        std::printf("glm_artgen: %zu resources written to %s\n", art.Resources().size(), qPrintable(out));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "glm_artgen: %s\n", error.what());
        return 1;
    }
    return 0;
}
