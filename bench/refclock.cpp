// SPDX-License-Identifier: GPL-3.0-or-later
// A bare Qt clock for comparison: one label, a 500 ms timer, text set only
// when it changes. The idle figures of the real clock are read against it.
#include <QApplication>
#include <QLabel>
#include <QTime>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel label;
    label.setWindowFlags(Qt::FramelessWindowHint);
    QFont font = label.font();
    font.setPointSize(36);
    label.setFont(font);
    const auto now = [] { return QTime::currentTime().toString(QStringLiteral("h:mm:ss")); };
    label.setText(now());
    label.show();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &label, [&] {
        const QString text = now();
        if (text != label.text())
            label.setText(text);
    });
    timer.start(500);
    return app.exec();
}
