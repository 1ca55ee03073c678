// Draws the wizard's artwork: the six template previews of the template page,
// the welcome banner and the program icon. The pictures are generated rather
// than drawn by hand so that they can be changed and reproduced; everything
// is procedural with fixed seeds and a fixed font, so a re-run on any machine
// gives the same pictures.
// Each picture is drawn in a file of its own (Previews, Banner, Icon, with
// the icon's 256 colours chosen in IndexedColours); this file only runs them.
//
// Re-run after a change and commit the results:
//   cmake --build <build> --target pixelnook-artwork
//   <build>/bin/pixelnook-artwork wizard/resources
// It writes preview1.jpg ... preview6.jpg, banner.jpg, pixelnook.png (the
// 64 px icon) and pixelnook-48.png, pixelnook-128.png and pixelnook-256.png
// into the folder named on its command line. It needs no display (it selects
// Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise) and the
// FreeSans fonts of fonts-freefont-ttf.

#include "ArtworkCommon.h"
#include "Banner.h"
#include "Icon.h"
#include "IndexedColours.h"
#include "Previews.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTextStream>

using namespace artwork;

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        Err() << "usage: pixelnook-artwork OUTPUT_FOLDER\n";
        return 2;
    }
    const QDir out(args.at(1));
    if (!QDir().mkpath(out.absolutePath())) {
        Err() << "pixelnook-artwork: cannot create " << out.absolutePath() << "\n";
        return 1;
    }

    const QString regular = LoadFont(QStringLiteral("FreeSans.ttf"));
    const QString bold = LoadFont(QStringLiteral("FreeSansBold.ttf"));
    if (regular.isEmpty() || bold.isEmpty()) {
        Err() << "pixelnook-artwork: the FreeSans fonts are missing from " << kFontFolder
              << " (install fonts-freefont-ttf)\n";
        return 1;
    }

    QTextStream report(stdout);
    for (int number = 1; number <= kPreviewCount; ++number) {
        const QImage preview = DrawPreview(number, regular);
        const QString path = out.filePath(QStringLiteral("preview%1.jpg").arg(number));
        int quality = 0;
        qint64 size = 0;
        if (!WritePreview(preview, path, &quality, &size))
            return 1;
        report << path << ": " << preview.width() << "x" << preview.height() << ", quality "
               << quality << ", " << size << " bytes\n";
    }

    const QString bannerPath = out.filePath(QStringLiteral("banner.jpg"));
    qint64 bannerSize = 0;
    const QImage banner = DrawBanner(bold, regular);
    if (!WriteBanner(banner, bannerPath, &bannerSize))
        return 1;
    report << bannerPath << ": " << banner.width() << "x" << banner.height() << ", " << bannerSize
           << " bytes\n";

    // The 64 px icon is the window's and the menu's; the others are the sizes
    // a desktop's icon theme asks for on denser screens.
    for (const int size : {64, 48, 128, 256}) {
        const QString iconPath =
            out.filePath(size == 64 ? QStringLiteral("pixelnook.png")
                                    : QStringLiteral("pixelnook-%1.png").arg(size));
        const QImage icon = ToIndexed(DrawIcon(size));
        if (!WriteIcon(icon, iconPath))
            return 1;
        report << iconPath << ": " << icon.width() << "x" << icon.height() << ", "
               << icon.colorCount() << " colours\n";
    }
    return 0;
}
