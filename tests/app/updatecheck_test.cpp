// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/updatecheck.h"

#include "core/valuenames.h"
#include "globalsfixture.h"
#include "testenv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>

using namespace tavlo;

namespace {

constexpr qint64 kCheckBoundMs = 3000;
constexpr qint64 kStartMarginMs = 1000;

// A small HTTP server on 127.0.0.1 with one canned answer per path. It runs in
// the test's own thread: the download's event loop serves it.
class TinyHttpServer final : public QObject
{
public:
    struct Reply
    {
        QByteArray status = "200 OK";
        QByteArray body;
        QByteArray location;
        bool silent = false;
    };

    TinyHttpServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket] { serve(socket); });
            }
        });
    }
    QString url(const char *path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2")
            .arg(m_server.serverPort())
            .arg(QLatin1String(path));
    }
    void on(const QByteArray &path, Reply reply) { m_replies.insert(path, std::move(reply)); }
    QList<QByteArray> requestHeads;

private:
    void serve(QTcpSocket *socket)
    {
        QByteArray &pending = m_pending[socket];
        pending += socket->readAll();
        if (!pending.contains("\r\n\r\n"))
            return;
        requestHeads << pending;
        const QByteArray path = pending.split(' ').value(1);
        pending.clear();
        const Reply reply = m_replies.value(path, Reply{"404 Not Found", "missing", {}});
        if (reply.silent)
            return;
        QByteArray head = "HTTP/1.1 " + reply.status +
                          "\r\nContent-Length: " + QByteArray::number(reply.body.size()) +
                          "\r\nConnection: close\r\n";
        if (!reply.location.isEmpty())
            head += "Location: " + reply.location + "\r\n";
        socket->write(head + "\r\n" + reply.body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QByteArray, Reply> m_replies;
    QHash<QTcpSocket *, QByteArray> m_pending;
};

class UpdateCheckTest : public test::GlobalsFixture
{
protected:
    void SetUp() override
    {
        prepareStore();
        MainGlobals &g = globals();
        g.strVERSION = QStringLiteral("1.05");
        g.strPROGRAMFOLDER = test::dataHome() + QStringLiteral("/tavlo/TavloClock");
        QDir().mkpath(g.strPROGRAMFOLDER);
        g.strUPDATEFILE = g.strPROGRAMFOLDER + QStringLiteral("/latestupdate.txt");
        g.strNEWERURL =
            QStringLiteral("https://www.orvane.com/there-is-a-newer-version-available/");
        objOBJECTS() = std::make_unique<cmlib_OBJECTS>();
    }

    // Runs the start-up check against the version file at path of the server,
    // until its answer has been handled.
    void check(const char *path)
    {
        globals().strVERSIONURL = server.url(path);
        finish();
    }
    static void finish()
    {
        CheckForUpdate();
        EXPECT_TRUE(QTest::qWaitFor([] { return !UpdateCheckRunning(); }, 10000));
    }
    void serveVersion(const QByteArray &contents)
    {
        server.on("/prgdetails/ovapps_version.txt", {"200 OK", contents, {}});
    }
    QString updateShown()
    {
        return globals().objREGISTRY->RegLoad(
            reg::HKCU, QStringLiteral("SOFTWARE\\TavloClock\\fhub_MAIN\\Details"), reg::UpdateShown,
            QStringLiteral("<none>"));
    }

    TinyHttpServer server;
    test::RecordingDesktop desktop;
};

} // namespace

TEST(VersionFileTest, TheLastValueCounts)
{
    // clang-format off
    const struct { const char *contents, *expected; } cases[] = {
        {"1.06", "1.06"}, {"1.02\r\n1.09\r\n", "1.09"}, {"1.09\n1.02", "1.02"}, {"\"1.06\"", "1.06"},
        {"1.01,1.07", "1.07"}, {" 1.08 \n\n", "1.08"}, {"", ""}, {"\r\n", ""}, {"1.04,", "1.04"}};
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EQ(LastVersionValue(c.contents), QLatin1String(c.expected)) << c.contents;
}

TEST_F(UpdateCheckTest, OnlyANewerVersionByNumberOpensThePageAndIsNoted)
{
    // Compared as numbers, not as text; unreadable answers open nothing. A few
    // web redirects are followed.
    server.on("/a", {"302 Found", {}, server.url("/b").toUtf8()});
    server.on("/b", {"301 Moved Permanently", {}, "/prgdetails/ovapps_version.txt"});
    // clang-format off
    const struct { const char *ours; QByteArray contents; bool opens; const char *path = "/prgdetails/ovapps_version.txt"; } cases[] = {
        {"1.05", "1.05", false}, {"1.05", "", false}, {"1.05", "abc", false},
        {"1.05", "1.02\r\n1.09\r\n", true}, {"1.10", "1.9", true}, {"1.10", "1.1", false},
        {"1.05", "1.07", true, "/a"}};
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.ours << " " << c.contents.data() << " at " << c.path);
        desktop.opened.clear();
        globals().strVERSION = QLatin1String(c.ours);
        serveVersion(c.contents);
        check(c.path);
        EXPECT_EQ(desktop.opened,
                  c.opens ? QList<QUrl>{QUrl(globals().strNEWERURL)} : QList<QUrl>{});
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        // Asked afresh, past any cache.
        EXPECT_TRUE(server.requestHeads.last().contains("Cache-Control: no-cache"));
        if (c.opens) {
            EXPECT_EQ(updateShown(), "True");
            EXPECT_TRUE(QFile::exists(globals().strUPDATEFILE));
        }
    }
}

TEST_F(UpdateCheckTest, HostileOrBrokenServersEndTheCheckWithNothingOpened)
{
    QByteArray tenMegabytes(10 * 1024 * 1024, '9');
    tenMegabytes.prepend("1.");
    server.on("/huge", {"200 OK", tenMegabytes, {}});
    server.on("/file", {"302 Found", {}, "file:///etc/hostname"});
    server.on("/loop", {"302 Found", {}, "/loop"});
    server.on("/error", {"500 Internal Server Error", "1.99", {}});
    server.on("/silent", {"200 OK", {}, {}, true});
    QTcpServer probe; // for a port nobody listens on
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const QString closedPort = QStringLiteral("http://127.0.0.1:%1/v.txt").arg(probe.serverPort());
    probe.close();
    for (const QString &url :
         {server.url("/huge"), server.url("/file"), server.url("/loop"), server.url("/missing"),
          server.url("/error"), server.url("/silent"), closedPort}) {
        // A file left from before is never taken for the answer.
        QFile old(globals().strUPDATEFILE);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("9.99");
        old.close();
        QElapsedTimer timer;
        timer.start();
        globals().strVERSIONURL = url;
        finish();
        EXPECT_TRUE(desktop.opened.isEmpty()) << url.toStdString();
        EXPECT_FALSE(QFile::exists(globals().strUPDATEFILE)) << url.toStdString();
        // The check's own bound is three seconds; the rest is the helper's start.
        EXPECT_LT(timer.elapsed(), kCheckBoundMs + kStartMarginMs) << url.toStdString();
    }
    EXPECT_EQ(updateShown(), QStringLiteral("<none>"));
}

TEST_F(UpdateCheckTest, TheWidgetIsOnScreenBeforeTheCheckStarts)
{
    serveVersion("1.06");
    resetGlobals();
    ASSERT_TRUE(Main(QStringLiteral("TavloClock"), server.url("")));
    ASSERT_TRUE(widgetSet().frmWIDGETS(0));
    EXPECT_TRUE(widgetSet().frmWIDGETS(0)->isVisible());
    EXPECT_FALSE(UpdateCheckRunning());

    // It starts with the event loop, and its answer is handled there.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !desktop.opened.isEmpty(); }, 10000));
}
