#include "frame/fixedframe.h"

#include "core/twips.h"
#include "core/valuenames.h"
#include "frame/modblend.h"
#include "frame/windowops.h"
#include "globalsfixture.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QPaintEvent>
#include <QScreen>
#include <QTest>

using namespace tavlo;

namespace {

class FrameTest : public test::GlobalsFixture
{};

// Collects what gets painted, in the coordinates of the top-level window.
class PaintRecorder final : public QObject
{
public:
    explicit PaintRecorder(QWidget *root) : m_root(root)
    {
        root->installEventFilter(this);
        for (QWidget *child : root->findChildren<QWidget *>())
            child->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            auto *widget = static_cast<QWidget *>(watched);
            const QRect rect = static_cast<QPaintEvent *>(event)->rect();
            painted |= QRect(widget->mapTo(m_root, rect.topLeft()), rect.size());
        }
        return false;
    }
    QRegion painted;

private:
    QWidget *m_root;
};

} // namespace

TEST_F(FrameTest, ThemeShadesFollowColourAndContrast)
{
    ASSERT_TRUE(start());
    auto *frame = static_cast<FixedFrame *>(form());
    const OleColor theme = 0x336699;
    frame->setLngTHEMECOLOR(theme);
    frame->setLngTRANSVALCONTRAST(33);
    frame->ColorUpdate();
    EXPECT_EQ(frame->BackColor(), ColorBlend(0, theme, -34));
    EXPECT_EQ(line("lnesep")->BorderColor(), ColorBlend(0xFFFFFF, theme, 63));
    EXPECT_EQ(line("lneshad")->BorderColor(), ColorBlend(0, ColorBlend(0, theme, -34), 50));

    frame->setLngTRANSVALCONTRAST(100);
    frame->ColorUpdate();
    EXPECT_EQ(frame->BackColor(), ColorBlend(0, theme, 100));

    // The time strip runs from light at the top to dark at the bottom, the
    // date strip the other way round.
    const QImage time = picture("picTIME")->picture();
    const QImage date = picture("picDATE")->picture();
    ASSERT_FALSE(time.isNull());
    EXPECT_GT(qGray(time.pixel(5, 0)), qGray(time.pixel(5, time.height() - 1)));
    EXPECT_LT(qGray(date.pixel(5, 0)), qGray(date.pixel(5, date.height() - 1)));
}

TEST_F(FrameTest, GradientsArePaintedOnlyWhenTheirInputsChange)
{
    ASSERT_TRUE(start());
    auto *frame = static_cast<FixedFrame *>(form());
    const qint64 before = picture("picTIME")->picture().cacheKey();
    frame->updateparts();
    frame->ColorUpdate();
    EXPECT_EQ(picture("picTIME")->picture().cacheKey(), before);
    frame->setLngTHEMECOLOR(0x0000FF);
    frame->ColorUpdate();
    EXPECT_NE(picture("picTIME")->picture().cacheKey(), before);
}

TEST_F(FrameTest, ATickThatChangesNoTextRepaintsNothing)
{
    ASSERT_TRUE(start());
    settle();
    PaintRecorder recorder(form());
    form()->updateparts();
    settle();
    EXPECT_TRUE(recorder.painted.isEmpty());

    // A new second repaints the seconds label's own area, nothing else.
    clock().set(clock().now().addSecs(1));
    form()->updateparts();
    settle();
    Label *seconds = label("lblSECS");
    const QRect area(seconds->mapTo(form(), QPoint(0, 0)), seconds->size());
    EXPECT_FALSE(recorder.painted.isEmpty());
    EXPECT_EQ(recorder.painted.boundingRect() | area, area);
}

TEST_F(FrameTest, TransparencyIsClampedAndWrittenBack)
{
    QWidget window;
    uint8_t alpha = 5;
    SetTransparency(&window, alpha);
    EXPECT_EQ(alpha, 20);
    EXPECT_NEAR(window.windowOpacity(), 20 / 255.0, 0.002);
    alpha = 255;
    SetTransparency(&window, alpha);
    EXPECT_EQ(alpha, 255);
    EXPECT_DOUBLE_EQ(window.windowOpacity(), 1.0);
}

TEST_F(FrameTest, OnTopIsReadAtLoadAndChangesWithoutANewWindow)
{
    prepareStore();
    SaveSetting(reg::OnTop, QStringLiteral("True"));
    ASSERT_TRUE(start());
    EXPECT_TRUE(form()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    const WId id = form()->winId();
    SetOnTop(form(), false);
    EXPECT_FALSE(form()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(form()->winId(), id);
    SaveSetting(reg::OnTop, QStringLiteral("1"));
    form()->FormUpdate();
    EXPECT_TRUE(form()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(form()->isVisible());
    EXPECT_EQ(form()->winId(), id);
}

TEST_F(FrameTest, AClickPullsAWidgetBelowTheScreenBackUp)
{
    ASSERT_TRUE(start());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    form()->move(100, screen.bottom() - form()->height() / 2);
    QTest::mousePress(form(), Qt::RightButton, {}, QPoint(1, 1));
    EXPECT_EQ(form()->y() + form()->height(), screen.height());
    EXPECT_EQ(form()->x(), 100);
}

TEST_F(FrameTest, AWidgetSavedBelowTheScreenComesBackCentred)
{
    prepareStore();
    const QString window = QStringLiteral("SOFTWARE\\TavloClock\\fapp_CLOCK\\Window");
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    globals().objREGISTRY->RegSave(reg::HKCU, window, reg::Left, QStringLiteral("300"));
    globals().objREGISTRY->RegSave(reg::HKCU, window, reg::Top,
                                   QString::number((screen.height() - 10) * twipsPerPixelY()));
    ASSERT_TRUE(start());
    EXPECT_EQ(form()->x(), 20);
    EXPECT_NEAR(form()->y(), (screen.height() - form()->height()) / 2.0, 1);
}

TEST_F(FrameTest, APlaceThatIsNoFiniteNumberOnTheScreenComesBackCentred)
{
    const QString window = QStringLiteral("SOFTWARE\\TavloClock\\fapp_CLOCK\\Window");
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const auto stored = [&](QLatin1String name) {
        return globals().objREGISTRY->RegLoad(reg::HKCU, window, name, QString());
    };
    for (const char *text : {"1e30", "-1e30", "3.4e38", "-3.4e38", "1e300", "1e999", "NaN", "inf",
                             "-inf", "Infinity", "-Infinity"}) {
        for (const QLatin1String name : {reg::Left, reg::Top}) {
            resetGlobals();
            prepareStore();
            globals().objREGISTRY->RegSave(reg::HKCU, window, reg::Left, QStringLiteral("300"));
            globals().objREGISTRY->RegSave(reg::HKCU, window, reg::Top, QStringLiteral("450"));
            globals().objREGISTRY->RegSave(reg::HKCU, window, name, QLatin1String(text));
            ASSERT_TRUE(start()) << text;
            const QPoint centred((screen.width() - form()->width()) / 2,
                                 (screen.height() - form()->height()) / 2);
            const QPoint expected =
                name == reg::Left ? QPoint(centred.x(), 30) : QPoint(20, centred.y());
            EXPECT_LE((form()->pos() - expected).manhattanLength(), 1)
                << text << " as " << name.data();
            form()->saveOnUnload();
            EXPECT_EQ(stored(reg::Left), QString::number(form()->x() * 15)) << text;
            EXPECT_EQ(stored(reg::Top), QString::number(form()->y() * 15)) << text;
        }
    }
}

TEST_F(FrameTest, DoubleClickOnTheDateStripOpensTheDesktopsDateAndTimeSettings)
{
    for (const bool toolThere : {true, false}) {
        // A settings tool on PATH (or only an unrelated program) that the
        // recorder catches instead of running.
        test::FakeToolOnPath tool(test::dataHome() + (toolThere ? "/bin" : "/other"),
                                  toolThere ? QStringLiteral("gnome-control-center")
                                            : QStringLiteral("not-a-settings-tool"));
        test::RecordingDesktop desktop;
        ASSERT_TRUE(start());
        PictureBox *date = picture("picDATE");
        QTest::mouseDClick(date, Qt::LeftButton, {}, QPoint(1, date->height() - 2));
        // On the date text itself it does not.
        QTest::mouseDClick(label("lblDATE"), Qt::LeftButton, {}, QPoint(2, 2));
        const QList<QStringList> expected{{tool.path, QStringLiteral("datetime")}};
        EXPECT_EQ(desktop.started, toolThere ? expected : QList<QStringList>{});
        resetGlobals();
    }
}
