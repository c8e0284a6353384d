// SPDX-License-Identifier: GPL-3.0-or-later
// A version-file server on 127.0.0.1 for the start-up measurements:
// "answer" serves "1.05", "silent" accepts and never answers.
// Usage: tavlo_versionserver PORT answer|silent
#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const bool answer = QByteArray(argv[2]) == "answer";
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, quint16(QByteArray(argv[1]).toUInt())))
        return 1;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (QTcpSocket *socket = server.nextPendingConnection()) {
            socket->setParent(&server);
            if (!answer)
                continue;
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                if (!socket->readAll().contains("\r\n\r\n"))
                    return;
                socket->write(
                    "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: close\r\n\r\n1.05\n");
                socket->disconnectFromHost();
            });
        }
    });
    return app.exec();
}
