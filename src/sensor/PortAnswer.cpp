#include "PortAnswer.h"

#include <cmath>
#include <limits>
#include <optional>

namespace {

constexpr std::int32_t kFirstGamePort = 513;
constexpr std::int32_t kLastGamePort = 520;
constexpr std::int32_t kFirstHexGamePort = 201;
constexpr std::int32_t kLastHexGamePort = 208;

std::optional<std::int32_t> wholeNumber(const QString &answer, const QLocale &locale)
{
    QString text = answer.trimmed();
    text.replace(locale.decimalPoint(), QStringLiteral("."));
    text.replace(locale.negativeSign(), QStringLiteral("-"));
    // Without this the C locale would read "2,5" as 25.
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = c.toDouble(text, &ok);
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
