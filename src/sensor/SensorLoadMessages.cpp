#include "SensorLoadMessages.h"

namespace {

// The dynamic loader speaks English; the common causes are told in Swedish.
QString whyNotLoadable(const QString &detail)
{
    if (detail.contains(QLatin1String("wrong ELF class")) ||
        detail.contains(QLatin1String("ELF file's")))
        return QStringLiteral("filen är byggd för en annan datortyp");
    if (detail.contains(QLatin1String("invalid ELF header")) ||
        detail.contains(QLatin1String("file too short")))
        return QStringLiteral("filen är inget bibliotek");
    if (detail.contains(QLatin1String("undefined symbol")))
        return QStringLiteral("biblioteket saknar något det självt behöver");
    if (detail.contains(QLatin1String("cannot open shared object file")))
        return QStringLiteral("ett bibliotek som det behöver saknas");
    if (detail.contains(QLatin1String("Permission denied")))
        return QStringLiteral("åtkomst nekad");
    return QStringLiteral("filen kan inte laddas");
}

} // namespace

QString libraryUnusableReason()
{
    return QStringLiteral("sensorbiblioteket kan inte användas");
}

QString implausibleReadingReason()
{
    return QStringLiteral("orimligt värde från givaren");
}

QString systemSearchPathText()
{
    return QStringLiteral("systemets bibliotekssökväg");
}

QString libraryNotLoadedMessage(const QString &library, const std::vector<LibraryLookup> &lookups)
{
    QString text = QStringLiteral("Sensorbiblioteket %1 kunde inte laddas, så temperaturen kan "
                                  "inte läsas.")
                       .arg(library);
    for (const LibraryLookup &lookup : lookups) {
        QString why;
        switch (lookup.outcome) {
        case LibraryLookup::Outcome::Missing:
            why = QStringLiteral("finns inte");
            break;
        case LibraryLookup::Outcome::NotLoadable:
            why = QStringLiteral("kan inte laddas: ") + whyNotLoadable(lookup.detail);
            break;
        case LibraryLookup::Outcome::Untrusted:
            why = QStringLiteral("laddas inte, eftersom en annan användare kan byta ut den: ") +
                  lookup.detail;
            break;
        }
        text += QStringLiteral("\n%1: %2").arg(lookup.place, why);
    }
    return text;
}

QString functionsMissingMessage(const QString &library, const QString &path,
                                const QStringList &missing)
{
    const bool one = missing.size() == 1;
    return QStringLiteral("Sensorbiblioteket %1 (%2) saknar %3 %4; avläsningar som behöver %5 "
                          "visar ingen temperatur.")
        .arg(library, path, one ? QStringLiteral("funktionen") : QStringLiteral("funktionerna"),
             missing.join(QStringLiteral(" och ")),
             one ? QStringLiteral("den") : QStringLiteral("dem"));
}
