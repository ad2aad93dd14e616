// phonesim: serves one simulated handset on a pseudo-terminal. The terminal's path is the first
// line on standard output; see README.md for the options.
#include "phonesim/ContentsFile.h"
#include "phonesim/ModelTable.h"
#include "phonesim/PtyServer.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

using namespace orvia::phonesim;

namespace {

int fail(const QString &why)
{
    std::fprintf(stderr, "phonesim: %s\n", why.toLocal8Bit().constData());
    return 2;
}

bool addNthRules(const QStringList &values, FaultAction action, FaultConfig &faults)
{
    for (const QString &v : values) {
        bool ok = false;
        const int n = v.toInt(&ok);
        if (!ok || n < 1)
            return false;
        faults.rules.push_back({action, n, {}, false, false});
    }
    return true;
}

void addNamedRules(const QStringList &values, FaultAction action, FaultConfig &faults)
{
    for (const QString &v : values)
        faults.rules.push_back({action, 0, v, false, false});
}

// A fault kind's pair of options: `--NAME-at n` and `--NAME-on command`.
struct FaultOptions
{
    FaultAction action;
    QCommandLineOption at;
    QCommandLineOption on;
};

FaultOptions faultOptions(FaultAction action, const QString &name, const QString &atHelp,
                          const QString &onHelp)
{
    return {action, QCommandLineOption(name + QStringLiteral("-at"), atHelp, QStringLiteral("n")),
            QCommandLineOption(name + QStringLiteral("-on"), onHelp, QStringLiteral("command"))};
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Serves a simulated handset on a pseudo-terminal."));
    p.addHelpOption();
    const QCommandLineOption model(QStringLiteral("model"),
                                   QStringLiteral("Handset model: %1.").arg(modelCodes().join(u' ')),
                                   QStringLiteral("code"));
    const QCommandLineOption contents(QStringLiteral("contents"),
                                      QStringLiteral("Contents file to start from."), QStringLiteral("file"));
    const QCommandLineOption dump(
        QStringLiteral("dump"),
        QStringLiteral("Write the contents here on exit, SIGUSR1 or the command 'dump'."),
        QStringLiteral("file"));
    const QCommandLineOption link(QStringLiteral("link"), QStringLiteral("Symbolic link to the terminal."),
                                  QStringLiteral("path"));
    const QCommandLineOption baud(QStringLiteral("baud"),
                                  QStringLiteral("Pace replies like this line speed (10 bits a byte)."),
                                  QStringLiteral("rate"));
    const QCommandLineOption delay(QStringLiteral("delay"), QStringLiteral("Pause between echo and reply."),
                                   QStringLiteral("ms"));
    const QCommandLineOption split(QStringLiteral("split"),
                                   QStringLiteral("Send replies in pieces of these sizes (1: every byte)."),
                                   QStringLiteral("sizes"));
    const FaultOptions errorFault = faultOptions(FaultAction::Error, QStringLiteral("error"),
                                                 QStringLiteral("Answer ERROR to the Nth command."),
                                                 QStringLiteral("Answer ERROR to commands starting so."));
    const FaultOptions silenceFault = faultOptions(FaultAction::Silence, QStringLiteral("silent"),
                                                   QStringLiteral("Answer nothing to the Nth command."),
                                                   QStringLiteral("Answer nothing to commands starting so."));
    const QCommandLineOption silent(QStringLiteral("silent"), QStringLiteral("Answer nothing at all."));
    const FaultOptions garbageFault = faultOptions(
        FaultAction::Garbage, QStringLiteral("garbage"), QStringLiteral("Send garbage before the Nth echo."),
        QStringLiteral("Send garbage before these commands' echo."));
    const QCommandLineOption unsolicited(
        QStringLiteral("unsolicited"),
        QStringLiteral("Send this line unasked before every echo (RING, +CREG: 1 ...)."),
        QStringLiteral("line"));
    const FaultOptions chatterFault =
        faultOptions(FaultAction::Chatter, QStringLiteral("chatter"),
                     QStringLiteral("Lose the Nth command, but keep sending +CSQ lines."),
                     QStringLiteral("Lose commands starting so, but keep sending +CSQ lines."));
    const QCommandLineOption chatterMs(QStringLiteral("chatter-ms"),
                                       QStringLiteral("Time between the +CSQ lines (default 1500)."),
                                       QStringLiteral("ms"));
    const QCommandLineOption simNotReady(QStringLiteral("sim-not-ready"),
                                         QStringLiteral("The SIM waits for its PIN."));
    const QCommandLineOption simError(QStringLiteral("sim-error"),
                                      QStringLiteral("How SIM commands fail: cmee (default), cme, error."),
                                      QStringLiteral("style"));
    const QCommandLineOption logFile(
        QStringLiteral("log"), QStringLiteral("Log every command and reply here."), QStringLiteral("file"));
    const QCommandLineOption commands(
        QStringLiteral("commands"),
        QStringLiteral("Read the commands dump, hangup and quit from standard input, one a line."));
    // The help lists the options in this order.
    p.addOptions({model, contents, dump, link, baud, delay, split});
    p.addOptions({errorFault.at, errorFault.on, silenceFault.at, silenceFault.on, silent});
    p.addOptions(
        {garbageFault.at, garbageFault.on, unsolicited, chatterFault.at, chatterFault.on, chatterMs});
    p.addOptions({simNotReady, simError, logFile, commands});
    if (!p.parse(args))
        return fail(p.errorText());
    if (p.isSet(QStringLiteral("help"))) {
        // Without an application object the parser cannot know the program's name.
        const QString name = QFileInfo(args.value(0, QStringLiteral("phonesim"))).fileName();
        std::fputs(p.helpText().replace(QStringLiteral("<executable_name>"), name).toLocal8Bit().constData(),
                   stdout);
        return 0;
    }
    if (!p.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument %1").arg(p.positionalArguments().constFirst()));

    const QString modelCode = p.isSet(model) ? p.value(model) : QStringLiteral("K110");
    if (!findModel(modelCode))
        return fail(QStringLiteral("unknown model %1 (known: %2)").arg(modelCode, modelCodes().join(u' ')));
    ContentsResult start = p.isSet(contents) ? loadContentsFile(p.value(contents), modelCode)
                                             : parseContents(QString(), modelCode);
    if (!start.contents)
        return fail(start.error);
    if (p.isSet(model) && p.isSet(contents) && start.contents->model != findModel(modelCode)->code)
        return fail(QStringLiteral("--model %1 differs from the contents file's model %2")
                        .arg(modelCode, start.contents->model));
    if (p.isSet(simNotReady))
        start.contents->simReady = false;

    PhoneSim sim(std::move(*start.contents));
    FaultConfig &f = sim.faults();
    if (p.isSet(silent))
        f.rules.push_back({FaultAction::Silence, 0, {}, false, false});
    // The first matching rule decides: numbered commands before named ones.
    const FaultOptions *kinds[] = {&errorFault, &silenceFault, &garbageFault, &chatterFault};
    for (const FaultOptions *k : kinds) {
        if (!addNthRules(p.values(k->at), k->action, f))
            return fail(QStringLiteral("a command number is 1 or more"));
    }
    for (const FaultOptions *k : kinds)
        addNamedRules(p.values(k->on), k->action, f);
    if (p.isSet(unsolicited))
        f.unsolicited = "\r\n" + p.value(unsolicited).toLatin1() + "\r\n";
    if (p.isSet(split)) {
        f.splitSizes = parseSplitSizes(p.value(split));
        if (f.splitSizes.empty())
            return fail(QStringLiteral("--split takes sizes like 1 or 3,5,100"));
    }
    bool ok = true;
    if (p.isSet(baud)) {
        const int rate = p.value(baud).toInt(&ok);
        if (!ok || rate < 10 || rate > 10000000)
            return fail(QStringLiteral("--baud takes a line speed such as 57600"));
        f.bytesPerSecond = rate / 10;
    }
    if (p.isSet(chatterMs)) {
        f.chatterIntervalMs = p.value(chatterMs).toInt(&ok);
        if (!ok || f.chatterIntervalMs < 1 || f.chatterIntervalMs > 600000)
            return fail(QStringLiteral("--chatter-ms takes milliseconds (1 to 600000)"));
    }
    if (p.isSet(delay)) {
        f.replyDelayMs = p.value(delay).toInt(&ok);
        if (!ok || f.replyDelayMs < 0 || f.replyDelayMs > 600000)
            return fail(QStringLiteral("--delay takes milliseconds (0 to 600000)"));
    }
    if (p.isSet(simError)) {
        const QString s = p.value(simError);
        if (s == QLatin1String("cme"))
            sim.handset().setSimErrorStyle(SimErrorStyle::Cme);
        else if (s == QLatin1String("error"))
            sim.handset().setSimErrorStyle(SimErrorStyle::Plain);
        else if (s != QLatin1String("cmee"))
            return fail(QStringLiteral("--sim-error is cmee, cme or error"));
    }

    PtyServer server(sim, {p.value(link), p.value(dump), p.value(logFile), p.isSet(commands)});
    QString error;
    if (!server.open(&error))
        return fail(error);
    std::printf("%s\n", server.slavePath().toLocal8Bit().constData());
    std::fflush(stdout);
    return server.run();
}
