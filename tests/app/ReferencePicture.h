#pragma once

#include <QImage>
#include <QString>

// A picture compared whole with the one stored in tests/app/pictures. On a
// difference the picture and its differing pixels (red on white) are saved in
// the working folder; KALVIK_WRITE_PICTURES=1 stores the picture instead.
inline bool matchesReference(const QImage &image, QString name)
{
    name.replace(QLatin1Char(' '), QLatin1Char('-'));
    const QImage shot = image.convertToFormat(QImage::Format_RGB32);
    const QString stored = QStringLiteral(KALVIK_APP_PICTURES "/%1.png").arg(name);
    if (qEnvironmentVariableIsSet("KALVIK_WRITE_PICTURES"))
        return shot.save(stored);
    const QImage expected = QImage(stored).convertToFormat(QImage::Format_RGB32);
    if (shot == expected)
        return true;
    QImage difference(shot.size(), QImage::Format_RGB32);
    difference.fill(Qt::white);
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (!expected.valid(x, y) || expected.pixel(x, y) != shot.pixel(x, y))
                difference.setPixel(x, y, qRgb(255, 0, 0));
    shot.save(name + QStringLiteral("-actual.png"));
    difference.save(name + QStringLiteral("-difference.png"));
    qWarning("%s differs from %s", qPrintable(name), qPrintable(stored));
    return false;
}
