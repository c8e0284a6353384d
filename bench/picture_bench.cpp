// The photo frame's picture pipeline, measured side by side with plain Qt:
//  1. one rescale of a screen-size picture to an 800 x 600 frame;
//  2. a 6000 x 4000 JPEG decoded to a 400 x 300 frame, against a bare
//     QImageReader asked for that size;
//  3. 21 different 24-megapixel JPEGs decoded at screen size on the thread
//     pool, in a fresh process: time from exec and peak memory (VmHWM).
// Usage: tavlo_picturebench [RUNS]   (RUNS = 15 by default)
#include "frame/modresize.h"
#include "frame/picturedecode.h"
#include "frame/pictureloader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QThreadPool>

#ifdef TAVLO_BENCH_STB
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb/stb_image_resize.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kPictures = 21;
const QSize kScreen(1920, 1080);

// A photo-like picture: soft gradients, some structure and grain, so that it
// compresses about as a photo does. seed makes each one different.
QImage photoLike(QSize size, quint32 seed)
{
    QImage picture(size, QImage::Format_RGB32);
    quint32 state = seed * 2654435761u + 1;
    const double phase = seed * 0.7;
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        const double fy = double(y) / size.height();
        for (int x = 0; x < size.width(); ++x) {
            const double fx = double(x) / size.width();
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const int grain = int(state % 25) - 12;
            const double wave = 40 * std::sin(fx * 23 + phase) * std::cos(fy * 17 - phase);
            const auto channel = [&](double base) {
                return std::clamp(int(base + wave) + grain, 0, 255);
            };
            line[x] =
                qRgb(channel(60 + 150 * fx), channel(90 + 120 * fy), channel(200 - 140 * fx * fy));
        }
    }
    return picture;
}

// At the quality a camera saves at: a 24-megapixel picture takes about 7 MB.
void writePhoto(const QString &path, const QImage &picture)
{
    QImageWriter writer(path);
    writer.setQuality(90);
    writer.write(picture);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs each job runs times in turns and gives each one's median in ms.
std::vector<double> inTurns(int runs, const std::vector<std::function<void()>> &jobs)
{
    std::vector<std::vector<double>> times(jobs.size());
    for (int r = 0; r < runs; ++r)
        for (size_t j = 0; j < jobs.size(); ++j) {
            QElapsedTimer timer;
            timer.start();
            jobs[j]();
            times[j].push_back(timer.nsecsElapsed() / 1e6);
        }
    std::vector<double> medians;
    for (const auto &t : times)
        medians.push_back(median(t));
    return medians;
}

long statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qsizetype(strlen(field))).trimmed().split(' ').first().toLong();
    return -1;
}

// Milliseconds since this process was started by exec.
double sinceExecMs()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble(); // field 22 of the whole line
    timespec now = {};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return (now.tv_sec + now.tv_nsec / 1e9) * 1000 - startTicks * 1000 / sysconf(_SC_CLK_TCK);
}

void benchRescale(int runs)
{
    const QImage source = photoLike(kScreen, 7);
    std::vector<std::function<void()>> jobs = {
        [&] { tavlo::ResizePicture(source, 800, 600, Qt::black, false); },
        [&] {
            const QImage out =
                source.scaled(800, 600, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            (void)out;
        },
    };
#ifdef TAVLO_BENCH_STB
    jobs.push_back([&] {
        QImage out(800, 600, QImage::Format_RGB32);
        stbir_resize_uint8_generic(source.constBits(), source.width(), source.height(),
                                   int(source.bytesPerLine()), out.bits(), 800, 600,
                                   int(out.bytesPerLine()), 4, 3, 0, STBIR_EDGE_CLAMP,
                                   STBIR_FILTER_DEFAULT, STBIR_COLORSPACE_LINEAR, nullptr);
    });
#endif
    const std::vector<double> t = inTurns(runs * 2, jobs);
    std::printf("== rescale 1920x1080 -> 800x600 (median of %d, target <= 10 ms)\n", runs * 2);
    std::printf("ResizePicture (cubic, SSE2)      %7.2f ms\n", t[0]);
    std::printf("QImage::scaled smooth            %7.2f ms\n", t[1]);
    if (t.size() > 2)
        std::printf("stb_image_resize (Catmull-Rom)   %7.2f ms\n", t[2]);
}

void benchFrameDecode(const QTemporaryDir &dir, int runs)
{
    const QString path = dir.filePath(QStringLiteral("big.jpg"));
    writePhoto(path, photoLike({6000, 4000}, 1));
    const QSize frame(400, 300);
    const std::vector<double> t = inTurns(
        runs, {
                  [&] {
                      QImageReader reader(path);
                      reader.setScaledSize(frame);
                      const QImage out = reader.read();
                      (void)out;
                  },
                  [&] {
                      const tavlo::DecodedPicture decoded = tavlo::DecodePicture(path, frame);
                      tavlo::ResizePicture(decoded.image, frame.width(), frame.height(), Qt::black,
                                           false);
                  },
                  [&] {
                      const tavlo::DecodedPicture decoded = tavlo::DecodePicture(path, kScreen);
                      tavlo::ResizePicture(decoded.image, frame.width(), frame.height(), Qt::black,
                                           false);
                  },
              });
    std::printf("== 6000x4000 JPEG (%.1f MB) to a 400x300 frame (median of %d, in turns)\n",
                QFile(path).size() / 1e6, runs);
    std::printf("bare QImageReader::setScaledSize  %7.1f ms\n", t[0]);
    std::printf("DecodePicture + ResizePicture     %7.1f ms  (%.2f x bare, target <= 1.2)\n", t[1],
                t[1] / t[0]);
    std::printf("same through a screen-size copy   %7.1f ms  (%.2f x bare)\n", t[2], t[2] / t[0]);
}

// The child: every picture requested at once, as 21 frames do at start.
int decodeAll(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString dir = QString::fromLocal8Bit(argv[2]);
    const long rssBefore = statusKiB("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    std::vector<std::unique_ptr<tavlo::PictureLoader>> loaders;
    std::vector<QImage> pictures(kPictures);
    int pending = kPictures;
    for (int i = 0; i < kPictures; ++i) {
        auto loader = std::make_unique<tavlo::PictureLoader>();
        QObject::connect(loader.get(), &tavlo::PictureLoader::pictureLoaded, &app,
                         [&, i](quint64, const QString &, const QImage &picture) {
                             pictures[size_t(i)] = picture;
                             if (--pending == 0)
                                 app.quit();
                         });
        QObject::connect(loader.get(), &tavlo::PictureLoader::pictureFailed, &app, [&] {
            std::printf("a picture failed\n");
            app.exit(1);
        });
        loader->request(QStringLiteral("%1/photo%2.jpg").arg(dir).arg(i), kScreen);
        loaders.push_back(std::move(loader));
    }
    if (app.exec() != 0)
        return 1;
    const double ms = timer.nsecsElapsed() / 1e6;
    std::printf("all %d decoded to %dx%d in %.0f ms (%.0f ms since exec) on %d threads\n",
                kPictures, pictures[0].width(), pictures[0].height(), ms, sinceExecMs(),
                QThreadPool::globalInstance()->maxThreadCount());
    std::printf("VmHWM %.1f MiB (VmRSS %.1f MiB before the first request, target <= 300 MiB)\n",
                statusKiB("VmHWM:") / 1024.0, rssBefore / 1024.0);
    return 0;
}

void benchManyPictures(const QTemporaryDir &dir, const char *self)
{
    std::printf("== %d different 6000x4000 JPEGs at screen size, thread pool, fresh process\n",
                kPictures);
    qint64 bytes = 0;
    for (int i = 0; i < kPictures; ++i) {
        const QString path = dir.filePath(QStringLiteral("photo%1.jpg").arg(i));
        writePhoto(path, photoLike({6000, 4000}, quint32(100 + i)));
        bytes += QFile(path).size();
    }
    std::printf("files %.1f MB in all\n", bytes / 1e6);
    std::fflush(stdout);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QString::fromLocal8Bit(self), {QStringLiteral("--decode-all"), dir.path()});
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        std::printf("the decoding process failed\n");
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--decode-all") == 0)
        return decodeAll(argc, argv);
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 15;
    QTemporaryDir dir;
    benchRescale(runs);
    benchFrameDecode(dir, runs);
    benchManyPictures(dir, argv[0]);
    return 0;
}
