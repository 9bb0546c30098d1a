#include "PortAnswer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

constexpr std::int32_t kFirstGamePort = 513;
constexpr std::int32_t kLastGamePort = 520;
constexpr std::int32_t kFirstHexGamePort = 201;
constexpr std::int32_t kLastHexGamePort = 208;

// "0x379" and "&H379", the forms the README and smt160-read give addresses in.
bool hasHexPrefix(const QString &text)
{
    return text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ||
           text.startsWith(QLatin1String("&h"), Qt::CaseInsensitive);
}

std::optional<std::int32_t> hexadecimal(QStringView digits)
{
    // toLongLong would take a sign or a second "0x"; an address has neither.
    const bool plain = !digits.isEmpty() && std::ranges::all_of(digits, [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c.toLower() >= u'a' && c.toLower() <= u'f');
    });
    bool ok = false;
    const qlonglong value = digits.toLongLong(&ok, 16);
    if (!plain || !ok || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return std::int32_t(value);
}

std::optional<std::int32_t> wholeNumber(const QString &answer, QLocale locale)
{
    const QString text = answer.trimmed();
    if (hasHexPrefix(text))
        return hexadecimal(QStringView(text).mid(2));
    // Without this "2,500" would be 2500 where ',' groups thousands.
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    double value = locale.toDouble(text, &ok);
    if (!ok) // '.' before a fraction, whatever the locale's separator
        value = c.toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    // The default rounding mode is to nearest, half to even.
    const double n = std::nearbyint(value);
    if (n < std::numeric_limits<std::int32_t>::min() ||
        n > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(n);
}

} // namespace

PortAnswer interpretPortAnswer(const QString &answer, const PortState &current,
                               const QLocale &locale)
{
    if (answer.isEmpty())
        return {current, PortAction::None};
    const std::optional<std::int32_t> number = wholeNumber(answer, locale);
    if (!number)
        return {current, PortAction::Invalid};

    const std::int32_t n = *number;
    PortState next = current;
    next.portAdr = n;
    if (n >= kFirstGamePort && n <= kLastGamePort) {
        next.gamePortAdr = n;
        return {next, PortAction::ReadGamePortNow};
    }
    if (n >= kFirstHexGamePort && n <= kLastHexGamePort) {
        next.gamePortAdr = QString::number(n).toInt(nullptr, 16);
        return {next, PortAction::ReadGamePortNow};
    }
    next.parPortAdr = n;
    return {next, PortAction::RunCycle};
}

QString invalidPortAnswerMessage(const QString &answer)
{
    return QStringLiteral("Svaret ”%1” är ingen portadress. Portadressen ändras inte.").arg(answer);
}
