#include "platform/StderrMessageBox.h"
#include <cstdio>

namespace orvia {

int StderrMessageBox::firstButtonAnswer(int style)
{
    return mb::firstButtonAnswer(style);
}

int StderrMessageBox::show(const QString &text, int style, const QString &title)
{
    QString flat = text;
    flat.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QByteArray line =
        ((title.isEmpty() ? kAppTitle : title) + QStringLiteral(": ") + flat).toLocal8Bit();
    std::fprintf(stderr, "%s\n", line.constData());
    std::fflush(stderr);
    return firstButtonAnswer(style);
}

bool StderrMessageBox::headless()
{
    if (!qEnvironmentVariableIsEmpty("ORVIA_HEADLESS"))
        return true;
    const QByteArray qpa = qgetenv("QT_QPA_PLATFORM");
    if (qpa.startsWith("offscreen") || qpa.startsWith("minimal"))
        return true;
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
           qpa.isEmpty();
}

} // namespace orvia
