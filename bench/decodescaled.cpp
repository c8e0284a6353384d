// SPDX-License-Identifier: GPL-3.0-or-later
// Decodes a picture file straight to a given size with QImageReader, as the
// least a program can do to show it, and prints the milliseconds it took.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QImageReader>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s FILE WIDTH HEIGHT\n", argv[0]);
        return 2;
    }
    QCoreApplication app(argc, argv);
    // The reader's plugin is loaded outside the measured time.
    QImageReader::supportedImageFormats();
    QElapsedTimer timer;
    timer.start();
    QImageReader reader(QString::fromLocal8Bit(argv[1]));
    reader.setScaledSize(QSize(atoi(argv[2]), atoi(argv[3])));
    const QImage image = reader.read();
    std::printf("%.1f\n", timer.nsecsElapsed() / 1e6);
    return image.isNull() ? 1 : 0;
}
