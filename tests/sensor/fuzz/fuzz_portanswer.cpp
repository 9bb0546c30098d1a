// libFuzzer target: any text typed into the port dialog, under several locales.
#include "../../support/FuzzCheck.h"
#include "PortAnswer.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QLocale locales[] = {QLocale::c(), QLocale("sv_SE"), QLocale("de_DE"),
                                      QLocale("fa_IR")};
    if (size == 0)
        return 0;
    const QLocale &locale = locales[data[0] % std::size(locales)];
    const QString answer =
        QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const PortState before{.gamePortAdr = 515, .parPortAdr = 700, .portAdr = 700};

    const PortAnswer result = interpretPortAnswer(answer, before, locale);

    check((result.action == PortAction::None) == answer.isEmpty());
    switch (result.action) {
    case PortAction::None:
    case PortAction::Invalid:
        check(result.state == before);
        break;
    case PortAction::ReadGamePortNow:
        check(result.state.gamePortAdr >= 513 && result.state.gamePortAdr <= 520);
        check(result.state.parPortAdr == before.parPortAdr);
        break;
    case PortAction::RunCycle:
        check(result.state.parPortAdr == result.state.portAdr);
        check(result.state.gamePortAdr == before.gamePortAdr);
        check(result.state.portAdr < 201 || result.state.portAdr > 520 ||
              (result.state.portAdr > 208 && result.state.portAdr < 513));
        break;
    }
    return 0;
}
