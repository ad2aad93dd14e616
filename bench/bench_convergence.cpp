// The long form of the convergence test: whole runs over many generated worlds, every model in turn.
//   bench_convergence [--count N] [--start SEED] [--all-classes] [--no-reduce] [--lang FILE]
// Each failing seed is printed with its failures and the smallest set of its items that still fails;
// the last line sums up.
#include "convergence/ConvergenceCheck.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMap>
#include <cstdio>

using namespace orvia::test::convergence;

namespace {

void print(const QString &s)
{
    std::fputs(s.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    quint32 count = 2000, start = 1;
    bool reduce = true;
    TextClasses classes;
    QString lang = QCoreApplication::applicationDirPath() + QStringLiteral("/lang.dbl");
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const QString next = i + 1 < args.size() ? args.at(i + 1) : QString();
        if (a == u"--count")
            count = next.toUInt(), ++i;
        else if (a == u"--start")
            start = next.toUInt(), ++i;
        else if (a == u"--lang")
            lang = next, ++i;
        else if (a == u"--all-classes")
            classes = TextClasses::all();
        else if (a == u"--no-reduce")
            reduce = false;
        else {
            print(QStringLiteral(
                "usage: bench_convergence [--count N] [--start SEED] [--all-classes] [--no-reduce] "
                "[--lang FILE]"));
            return 2;
        }
    }
    const Keywords words = loadKeywords(lang);
    if (words.meeting.isEmpty()) {
        print(QStringLiteral("cannot read the language file ") + lang);
        return 2;
    }

    QElapsedTimer clock;
    clock.start();
    QMap<QString, int> cleanByModel, failedByModel;
    for (quint32 seed = start; seed < start + count; ++seed) {
        const World world = generateWorld(seed, classes, words, runStart());
        const Verdict v = checkWorld(world, words);
        if (v.ok()) {
            ++cleanByModel[world.model];
            continue;
        }
        ++failedByModel[world.model];
        print(QStringLiteral("FAIL seed %1 (%2):\n").arg(seed).arg(world.model) + v.failures.join(u'\n'));
        const World small = reduce ? reduceWorld(world, words) : world;
        print(QStringLiteral("texts involved:\n") + describeWorld(small) + u'\n');
    }
    int clean = 0, failed = 0;
    QStringList perModel;
    for (const QString &m : cleanByModel.keys() + failedByModel.keys()) {
        if (perModel.filter(m + u' ').isEmpty())
            perModel << QStringLiteral("%1 %2/%3")
                            .arg(m)
                            .arg(cleanByModel.value(m))
                            .arg(cleanByModel.value(m) + failedByModel.value(m));
    }
    for (int n : cleanByModel)
        clean += n;
    for (int n : failedByModel)
        failed += n;
    print(QStringLiteral("convergence: seeds %1..%2: %3 clean, %4 failed (%5); %6 ms")
              .arg(start)
              .arg(start + count - 1)
              .arg(clean)
              .arg(failed)
              .arg(perModel.join(QStringLiteral(", ")))
              .arg(clock.elapsed()));
    return failed == 0 ? 0 : 1;
}
