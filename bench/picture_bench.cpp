// SPDX-License-Identifier: GPL-3.0-or-later
// The photo frame's picture pipeline, measured side by side with plain Qt:
//  1. one rescale of a screen-size picture to an 800 x 600 frame, and what
//     the scaler keeps and aliases, beside Qt's (and stb's, when installed);
//  2. a 6000 x 4000 JPEG decoded to a 400 x 300 frame, against a bare
//     QImageReader asked for that size;
//  3. 21 different 24-megapixel JPEGs decoded at screen size on the thread
//     pool, in a fresh process: time from exec and peak memory (VmHWM).
// Usage: tavlo_picturebench [RUNS]   (RUNS = 15 by default)
#include "frame/jpegeighth.h"
#include "frame/jpegreader.h"
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
#include <thread>
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

using Scaler = std::function<QImage(const QImage &, QSize)>;

// Detail without grain, for seeing what a scaler keeps of it.
QImage detailed(QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const double v = 128 + 60 * std::sin(x * 0.05) * std::cos(y * 0.043) +
                             40 * std::sin((x * x + y * y) * 0.00002);
            picture.setPixel(x, y,
                             qRgb(std::clamp(int(v), 0, 255), std::clamp(int(255 - v), 0, 255),
                                  (x / 3 + y / 5) & 255));
        }
    return picture;
}

double psnr(const QImage &a, const QImage &b)
{
    double error = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            for (const int shift : {0, 8, 16}) {
                const double d =
                    int(a.pixel(x, y) >> shift & 255) - int(b.pixel(x, y) >> shift & 255);
                error += d * d;
            }
    return 10 * std::log10(255.0 * 255.0 / (error / (3.0 * a.width() * a.height())));
}

// Mean distance from mid-grey where a zone plate's rings are finer than the
// shrunk picture can show: 0 is no aliasing at all.
double aliasing(const Scaler &scale)
{
    QImage plate(1024, 1024, QImage::Format_RGB32);
    for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 1024; ++x) {
            const double r2 = double(x - 512) * (x - 512) + double(y - 512) * (y - 512);
            const int v = int(127.5 + 127.5 * std::cos(M_PI * r2 / 1024));
            plate.setPixel(x, y, qRgb(v, v, v));
        }
    const QImage small = scale(plate, {256, 256});
    double sum = 0;
    int count = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            if ((x - 128) * (x - 128) + (y - 128) * (y - 128) > 64 * 64) {
                sum += std::abs(qGray(small.pixel(x, y)) - 127.5);
                ++count;
            }
    return sum / count;
}

void benchRescale(int runs)
{
    std::vector<std::pair<const char *, Scaler>> scalers = {
        {"ResizePicture (cubic, AVX2)",
         [](const QImage &p, QSize s) {
             return tavlo::ResizePicture(p, s.width(), s.height(), Qt::black, false);
         }},
        {"ResizePicture (cubic, SSE2)",
         [](const QImage &p, QSize s) {
             tavlo::setScalerWideVectorsForTesting(false);
             QImage out = tavlo::ResizePicture(p, s.width(), s.height(), Qt::black, false);
             tavlo::setScalerWideVectorsForTesting(true);
             return out;
         }},
        {"QImage::scaled smooth",
         [](const QImage &p, QSize s) {
             return p.scaled(s, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
         }},
    };
#ifdef TAVLO_BENCH_STB
    scalers.push_back({"stb_image_resize", [](const QImage &p, QSize s) {
                           QImage out(s, QImage::Format_RGB32);
                           stbir_resize_uint8_generic(p.constBits(), p.width(), p.height(),
                                                      int(p.bytesPerLine()), out.bits(), s.width(),
                                                      s.height(), int(out.bytesPerLine()), 4, 3, 0,
                                                      STBIR_EDGE_CLAMP, STBIR_FILTER_DEFAULT,
                                                      STBIR_COLORSPACE_LINEAR, nullptr);
                           return out;
                       }});
#endif
    const QImage source = photoLike(kScreen, 7);
    std::vector<std::function<void()>> jobs;
    for (const auto &scaler : scalers)
        jobs.push_back([&] { scaler.second(source, {800, 600}); });
    const std::vector<double> t = inTurns(runs * 2, jobs);
    const QImage detail = detailed(kScreen);
    std::printf("== rescale 1920x1080 -> 800x600 (median of %d, in turns; target <= 10 ms)\n"
                "   quality: 1920x1080 -> 640x360 -> back, PSNR (higher is better);\n"
                "   zone plate shrunk 4 times, mean grey error (lower is better)\n",
                runs * 2);
    for (size_t i = 0; i < scalers.size(); ++i) {
        const Scaler &scale = scalers[i].second;
        const double back = psnr(detail, scale(scale(detail, {640, 360}), kScreen));
        std::printf("%-30s %6.2f ms  PSNR %5.2f dB  aliasing %5.2f\n", scalers[i].first, t[i], back,
                    aliasing(scale));
    }
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
                  [&] {
                      QFile file(path);
                      file.open(QIODevice::ReadOnly);
                      (void)tavlo::ReadJpeg(file, 1);
                  },
                  [&] {
                      QFile file(path);
                      file.open(QIODevice::ReadOnly);
                      (void)tavlo::ReadJpegEighth(file, {1});
                  },
                  [&] {
                      QFile file(path);
                      file.open(QIODevice::ReadOnly);
                      (void)tavlo::ReadJpegEighth(file);
                  },
              });
    std::printf("== 6000x4000 JPEG (%.1f MB) to a 400x300 frame (median of %d, in turns)\n",
                QFile(path).size() / 1e6, runs);
    std::printf("bare QImageReader::setScaledSize  %7.1f ms\n", t[0]);
    std::printf("DecodePicture + ResizePicture     %7.1f ms  (%.2f x bare, target <= 1.2)\n", t[1],
                t[1] / t[0]);
    std::printf("same through a screen-size copy   %7.1f ms  (%.2f x bare)\n", t[2], t[2] / t[0]);
    std::printf("at an eighth: libjpeg             %7.1f ms\n", t[3]);
    std::printf("at an eighth: ours, one thread    %7.1f ms\n", t[4]);
    std::printf("at an eighth: ours, %u threads     %7.1f ms\n",
                std::clamp(std::thread::hardware_concurrency(), 1u, 4u), t[5]);
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
