// Renders the program's SVG icon as a square PNG of a given size:
//   quillstone-render-icon icon.svg 48 icon-48.png
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    bool sizeRead = false;
    const int size = arguments.size() == 4 ? arguments[2].toInt(&sizeRead) : 0;
    if (!sizeRead || size <= 0) {
        std::fprintf(stderr, "usage: quillstone-render-icon ICON.svg SIZE OUT.png\n");
        return 2;
    }
    QSvgRenderer renderer(arguments[1]);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "quillstone-render-icon: cannot read %s\n", argv[1]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    if (!image.save(arguments[3], "PNG")) {
        std::fprintf(stderr, "quillstone-render-icon: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
