// render-icon <file.svg> <width>[x<height>] <file.png>: draws an SVG picture
// into a PNG of that many pixels, keeping its proportions and centring it, for
// the installed hicolor icons and for the pictures of the dialogs. The
// pictures hold no text, so no application object (and no display) is needed.
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: render-icon <file.svg> <width>[x<height>] <file.png>\n");
        return 2;
    }
    QSvgRenderer svg{QString::fromLocal8Bit(argv[1])};
    char* rest = nullptr;
    const long width = std::strtol(argv[2], &rest, 10);
    const long height = *rest == 'x' ? std::strtol(rest + 1, &rest, 10) : width;
    if (!svg.isValid() || *rest != '\0' || width <= 0 || height <= 0 || width > 4096 || height > 4096) {
        std::fprintf(stderr, "render-icon: cannot draw %s at %s px\n", argv[1], argv[2]);
        return 1;
    }
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSizeF drawn = svg.defaultSize().scaled(image.size(), Qt::KeepAspectRatio);
    const QPointF origin((image.width() - drawn.width()) / 2, (image.height() - drawn.height()) / 2);
    svg.render(&painter, QRectF(origin, drawn));
    painter.end();
    if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "render-icon: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
