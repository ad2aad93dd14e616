#include "phonesim/AtCommandLine.h"

namespace orvia::phonesim {

namespace {

bool isExtendedPrefix(QChar c)
{
    return c == u'+' || c == u'*' || c == u'$' || c == u'^' || c == u'#' || c == u'%';
}

bool isNameChar(QChar c)
{
    return c.unicode() < 128 && (c.isLetterOrNumber() || c == u'_');
}

bool isAsciiLetter(QChar c)
{
    return c.unicode() < 128 && c.isLetter();
}

// The extended command's arguments run to a semicolon outside quotes or to the end of the line.
qsizetype argsEnd(const QString &s, qsizetype from)
{
    bool inQuote = false;
    for (qsizetype i = from; i < s.size(); ++i) {
        if (s.at(i) == u'"')
            inQuote = !inQuote;
        else if (!inQuote && s.at(i) == u';')
            return i;
    }
    return s.size();
}

} // namespace

std::optional<QList<AtCommand>> parseCommandLine(const QString &line)
{
    if (line.size() < 2 || line.left(2).compare(QLatin1String("AT"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    QList<AtCommand> out;
    qsizetype i = 2;
    const qsizetype n = line.size();
    while (i < n) {
        const QChar c = line.at(i);
        if (c == u' ' || c == u';') {
            ++i;
            continue;
        }
        AtCommand cmd;
        if (isExtendedPrefix(c)) {
            qsizetype j = i + 1;
            while (j < n && isNameChar(line.at(j)))
                ++j;
            if (j == i + 1)
                return std::nullopt;
            cmd.name = line.mid(i, j - i).toUpper();
            if (j < n && line.at(j) == u'?') {
                cmd.kind = AtCommand::Kind::Query;
                ++j;
            } else if (j + 1 < n && line.at(j) == u'=' && line.at(j + 1) == u'?') {
                cmd.kind = AtCommand::Kind::Test;
                j += 2;
            } else if (j < n && line.at(j) == u'=') {
                cmd.kind = AtCommand::Kind::Set;
                const qsizetype end = argsEnd(line, j + 1);
                cmd.args = line.mid(j + 1, end - j - 1);
                j = end;
            }
            // Only a separator or the end may follow an extended command.
            while (j < n && line.at(j) == u' ')
                ++j;
            if (j < n && line.at(j) != u';')
                return std::nullopt;
            i = j;
        } else {
            qsizetype j = i;
            if (c == u'&')
                ++j;
            if (j >= n || !isAsciiLetter(line.at(j)))
                return std::nullopt;
            cmd.name = line.mid(i, j - i + 1).toUpper();
            ++j;
            const qsizetype digits = j;
            while (j < n && line.at(j).unicode() < 128 && line.at(j).isDigit())
                ++j;
            cmd.args = line.mid(digits, j - digits);
            cmd.kind = cmd.args.isEmpty() ? AtCommand::Kind::Action : AtCommand::Kind::Set;
            if (cmd.name == QLatin1String("D")) { // a dial string takes the rest of the line
                cmd.args = line.mid(digits);
                j = n;
            }
            i = j;
        }
        out.append(cmd);
    }
    return out;
}

} // namespace orvia::phonesim
