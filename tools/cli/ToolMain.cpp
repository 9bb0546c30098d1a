#include "ToolMain.h"

#include <QtGlobal>

void sayLine(std::FILE *to, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), to);
    if (!text.endsWith(QLatin1Char('\n')))
        std::fputc('\n', to);
}

namespace {

void keepOnlyErrors(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        sayLine(stderr, text);
}

} // namespace

void passOnlyQtErrors()
{
    qInstallMessageHandler(keepOnlyErrors);
}
