// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/fpge_store.h"
#include "core/twips.h"
#include "frame/resizableframe.h"
#include "globalsfixture.h"
#include "testenv.h"

#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <initializer_list>
#include <utility>

namespace tavlo::test {

// The photos program started on stored values the test gives, with file
// questions answered by the test.
class PhotosFixture : public GlobalsFixture
{
protected:
    using Values = std::initializer_list<std::pair<const char *, QString>>;

    // Writes values under the photos program's settings key, then starts it.
    bool startWith(Values values)
    {
        globals().strAPPTITLE = QStringLiteral("TavloPhotos");
        globals().strREGROOT = QStringLiteral("SOFTWARE\\TavloPhotos\\");
        globals().objREGISTRY = std::make_unique<cmlib_REGISTRY>();
        for (const auto &[name, value] : values)
            SaveSetting(QLatin1String(name), value);
        FlushSettings();
        return Main(QStringLiteral("TavloPhotos"));
    }
    static ResizableFrame *frame(int number)
    {
        return dynamic_cast<ResizableFrame *>(widgetSet().frmWIDGETS(number));
    }
    static PictureSurface *mainPart(int number)
    {
        return frame(number)->findChild<PictureSurface *>(QStringLiteral("objMAINPART"));
    }
    static int shownCount()
    {
        int shown = 0;
        for (int i = 0; i < kWidgetSlots; ++i)
            shown += widgetSet().frmWIDGETS(i) && widgetSet().frmWIDGETS(i)->isVisible();
        return shown;
    }
    static QString stored(const char *name)
    {
        return LoadSetting(QLatin1String(name), QStringLiteral("<absent>"));
    }
    // A picture of four coloured quadrants (red, green / blue, yellow), saved as PNG.
    static QString quadrants(const QString &name, QSize size = QSize(40, 20))
    {
        QImage image(size, QImage::Format_RGB32);
        const int w = size.width() / 2, h = size.height() / 2;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                image.setPixel(
                    x, y, y < h ? (x < w ? 0xFF0000 : 0x00FF00) : (x < w ? 0x0000FF : 0xFFFF00));
        QDir().mkpath(dataHome());
        const QString path = dataHome() + QLatin1Char('/') + name;
        image.save(path, "PNG");
        return path;
    }
    // Takes path into widget number and waits for it to be shown or refused.
    static bool take(int number, const QString &path)
    {
        QSignalSpy shown(frame(number), &ResizableFrame::pictureShown);
        QSignalSpy refused(frame(number), &ResizableFrame::pictureRefused);
        frame(number)->takePicture(path);
        (void)QTest::qWaitFor([&] { return shown.count() + refused.count() > 0; }, 5000);
        return shown.count() == 1;
    }

    RecordingDesktop desk;
};

} // namespace tavlo::test
