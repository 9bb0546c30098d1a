#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

#include <cstdint>

// The three port variables of the window, with their values at start.
struct PortState
{
    std::int32_t gamePortAdr = 520;
    std::int32_t parPortAdr = 889;
    std::int32_t portAdr = 889;

    friend bool operator==(const PortState &, const PortState &) = default;
};

enum class PortAction {
    None,            // nothing changes (empty answer or Cancel)
    ReadGamePortNow, // GetTemp(gamePortAdr, 16), uncorrected, label only
    RunCycle,        // an ordinary tick at once
    Invalid,         // not a port address: nothing changes, tell the user
};

struct PortAnswer
{
    PortState state;
    PortAction action;
};

// The input box that asks for the address. Qt breaks label lines at '\n'.
inline constexpr QStringView kPortPromptTitle = u"GamePortAdress";
inline constexpr QStringView kPortPrompt = u"Välj GamePortAdress 201 - 208 Hex\n"
                                           u"                         eller  513 - 520 decimal\n"
                                           u"\n"
                                           u"Du hittar adressen i Enhetshanteraren JoyStick\n"
                                           u"Du kan skriva adress 889 för parallellporten";

// What an answer of the input box does to the port variables. The answer is a
// decimal number, blanks around it allowed, '.' or the locale's separator
// before a fraction, which rounds half to even. 513..520 is a game port;
// 201..208 is one too, its digits read as hexadecimal (208 is 0x208 = 520)
// while portAdr keeps the typed 208; any other number is a parallel port.
// "0x" or "&H" before hexadecimal digits gives that number ("0x379" is 889),
// which then goes by the same rule. Text that is no number, or a number
// outside 32 bits, is Invalid.
PortAnswer interpretPortAnswer(const QString &answer, const PortState &current,
                               const QLocale &locale);

// The message for an Invalid answer, quoting it.
QString invalidPortAnswerMessage(const QString &answer);
