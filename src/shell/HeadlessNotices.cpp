#include "shell/HeadlessNotices.h"
#include <QGuiApplication>
#include <cstdio>

namespace orvia {

namespace {

void writeUnlessHeadlessNotice(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && isHeadlessWindowNotice(message))
        return;
    std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, message).toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace

bool isHeadlessWindowNotice(const QString &message)
{
    return message == QLatin1String("This plugin does not support raise()") ||
           message == QLatin1String("This plugin does not support propagateSizeHints()");
}

void quietHeadlessWindowNotices()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        qInstallMessageHandler(writeUnlessHeadlessNotice);
}

} // namespace orvia
