// langtool: turns the phrase table into the scrambled language file.
//   langtool PHRASES.tsv LANG.dbl
// Stops with a message and exit status 1 when the table has a fault, so a broken table fails the build.
#include "langtool/PhraseTable.h"

#include <QFile>
#include <cstdio>

using namespace orvia;

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "langtool: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3)
        return fail(QStringLiteral("usage: langtool PHRASES.tsv LANG.dbl"));
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString target = QString::fromLocal8Bit(argv[2]);

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(source, in.errorString()));
    const PhraseTable table = parsePhraseTable(in.readAll());
    if (!table.errors.isEmpty()) {
        for (const QString &e : table.errors)
            std::fprintf(stderr, "%s: %s\n", qPrintable(source), qPrintable(e));
        return fail(QStringLiteral("%1 fault(s) in the phrase table").arg(table.errors.size()));
    }

    const DBLanguages languages = buildLanguageTable(table);
    if (!languages.Save(target, true))
        return fail(QStringLiteral("cannot write %1").arg(target));

    // Read the file back as the program will, so a file it could not load never leaves the build.
    DBLanguages check;
    if (!check.Load(target, true) || check.GetDataText() != languages.GetDataText())
        return fail(QStringLiteral("%1 does not read back as written").arg(target));
    std::printf("langtool: %lld phrases, %d records written to %s\n", qlonglong(table.phrases.size()),
                languages.count(), qPrintable(target));
    return 0;
}
