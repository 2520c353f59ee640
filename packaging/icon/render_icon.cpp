// selvane-icon-render: writes the installed icons from the program's own
// drawing (PaintSelvaneIcon), so that the menu, the windows and the tray show
// one picture.
//
//   selvane-icon-render OUTDIR SIZE...
//
// writes OUTDIR/selvane.svg and OUTDIR/SIZExSIZE/selvane.png for each SIZE.
// The SVG is read back and compared with the drawing: a painter feature that
// the SVG writer cannot express would show up as a difference, and the build
// fails instead of installing a different icon.
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "ui/Tray.h"

namespace {

constexpr int kGrid = 64;          // the drawing's own grid
constexpr int kCompareSize = 256;  // where the SVG is compared with the drawing

void fail(const QString& text)
{
    std::fprintf(stderr, "selvane-icon-render: %s\n", qPrintable(text));
    std::exit(1);
}

QImage blankImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage drawn(int size)
{
    QImage image = blankImage(size);
    QPainter painter(&image);
    selvane::PaintSelvaneIcon(painter, size);
    return image;
}

QImage fromSvg(const QByteArray& svg, int size)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        fail(QStringLiteral("the written SVG cannot be read back"));
    QImage image = blankImage(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, size, size));
    return image;
}

// The share of pixels (0..1) that differ by more than a quarter of the
// range in some channel. Antialiasing of a scaled vector differs by a few
// grey levels along edges; a missing or misplaced part differs by far more.
double differingShare(const QImage& a, const QImage& b)
{
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int d = std::max({std::abs(qRed(pa[x]) - qRed(pb[x])), std::abs(qGreen(pa[x]) - qGreen(pb[x])),
                                    std::abs(qBlue(pa[x]) - qBlue(pb[x])), std::abs(qAlpha(pa[x]) - qAlpha(pb[x]))});
            differing += d > 64 ? 1 : 0;
        }
    }
    return double(differing) / (a.width() * a.height());
}

}  // namespace

int main(int argc, char** argv)
{
    // Pixels only: no window system is needed, at build time least of all.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 2)
        fail(QStringLiteral("usage: selvane-icon-render OUTDIR SIZE..."));
    const QDir out(args.takeFirst());
    if (!out.mkpath(QStringLiteral(".")))
        fail(QStringLiteral("cannot create %1").arg(out.path()));

    QByteArray svg;
    {
        QBuffer buffer(&svg);
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(QSize(kGrid, kGrid));
        generator.setViewBox(QRect(0, 0, kGrid, kGrid));
        generator.setTitle(QStringLiteral("Selvane"));
        generator.setDescription(QStringLiteral("A satellite sending radio waves to the ground"));
        QPainter painter(&generator);
        selvane::PaintSelvaneIcon(painter, kGrid);
    }
    // The writer gives the size in millimetres; icon themes expect pixels.
    svg = QString::fromUtf8(svg)
              .replace(QRegularExpression(QStringLiteral(R"(<svg width="[^"]*" height="[^"]*")")),
                       QStringLiteral(R"(<svg width="%1" height="%1")").arg(kGrid))
              .toUtf8();
    // The SVG must show what the program draws. Compared at a large size,
    // where the smallest part (the antenna's tip) covers a few hundred pixels
    // while thin lines that two renderers place a pixel apart cover few.
    const double share = differingShare(drawn(kCompareSize), fromSvg(svg, kCompareSize));
    if (share > 0.001)
        fail(QStringLiteral("the SVG differs from the drawing in %1% of the pixels").arg(share * 100));

    QFile svgFile(out.filePath(QStringLiteral("selvane.svg")));
    if (!svgFile.open(QIODevice::WriteOnly | QIODevice::Truncate) || svgFile.write(svg) != svg.size())
        fail(QStringLiteral("cannot write %1").arg(svgFile.fileName()));
    svgFile.close();

    for (const QString& arg : args) {
        bool ok = false;
        const int size = arg.toInt(&ok);
        if (!ok || size < 8 || size > 1024)
            fail(QStringLiteral("bad size: %1").arg(arg));
        const QImage image = drawn(size);
        const QString dirName = QStringLiteral("%1x%1").arg(size);
        if (!out.mkpath(dirName))
            fail(QStringLiteral("cannot create %1").arg(out.filePath(dirName)));
        const QString path = out.filePath(dirName + QStringLiteral("/selvane.png"));
        if (!image.save(path, "PNG"))
            fail(QStringLiteral("cannot write %1").arg(path));
    }
    return 0;
}
