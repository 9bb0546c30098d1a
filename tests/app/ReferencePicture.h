#pragma once

#include <QImage>
#include <QString>

// What differs between two pictures of one size: black where they are alike.
inline QImage changes(const QImage &on, const QImage &before)
{
    QImage result = on.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < on.height(); ++y)
        for (int x = 0; x < on.width(); ++x)
            result.setPixel(x, y, (on.pixel(x, y) ^ before.pixel(x, y)) | 0xff000000u);
    return result;
}

// A picture compared whole with the one in tests/app/pictures; on a difference it and its changes
// are saved in the working folder. KALVIK_WRITE_PICTURES=1 stores the picture instead.
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
    shot.save(name + QStringLiteral("-actual.png"));
    if (expected.size() == shot.size())
        changes(shot, expected).save(name + QStringLiteral("-difference.png"));
    qWarning("%s differs from %s", qPrintable(name), qPrintable(stored));
    return false;
}
