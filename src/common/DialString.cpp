#include "common/DialString.h"

#include <array>

namespace orvia {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isPause(QChar c)
{
    return c == u'p' || c == u'P' || c == u'w' || c == u'W';
}

// Digits and the service-code characters: what a pause may follow.
bool isDialKey(QChar c)
{
    return isDigit(c) || c == u'*' || c == u'#';
}

// The one form of a pause: a SIM card keeps a pause as one code whatever letter was sent, and reads it
// back as "p", "P" or ","; a wait is "w" or "W".
QChar pauseForm(QChar c)
{
    return c == u'w' || c == u'W' ? QChar(u'w') : QChar(u'p');
}

// Words that put an extension after the number, in the program's languages ("postd" is the post-dial
// part of a telephone URI).
constexpr std::array<const char16_t *, 13> kExtensionWords{
    u"x",       u"ext",   u"extn",    u"extension", u"extensi\u00F3n", u"durchwahl", u"dw",
    u"apparat", u"poste", u"interno", u"int",       u"anexo",          u"postd"};

bool isExtensionWord(QStringView word)
{
    for (const char16_t *w : kExtensionWords)
        if (word.compare(QStringView(w), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// Whether a digit follows at `i`, after the marks that may stand between an extension word and its
// digits ("ext. 12", "ext=12", "Durchwahl: 12").
bool digitFollows(const QString &written, qsizetype i)
{
    while (i < written.size() && QStringView(u" .:=-\t").contains(written.at(i)))
        ++i;
    return i < written.size() && isDigit(written.at(i));
}

// The length of a trunk "(0)" (blanks inside allowed) at `i`; 0 when there is none.
qsizetype trunkZeroAt(const QString &written, qsizetype i)
{
    if (written.at(i) != u'(')
        return 0;
    qsizetype k = i + 1;
    while (k < written.size() && written.at(k) == u' ')
        ++k;
    if (k >= written.size() || written.at(k) != u'0')
        return 0;
    ++k;
    while (k < written.size() && written.at(k) == u' ')
        ++k;
    return k < written.size() && written.at(k) == u')' ? k + 1 - i : 0;
}

// Whether the number so far is an international prefix and a country code, and nothing else.
bool countryCodeSoFar(const QString &out)
{
    const qsizetype prefix = out.startsWith(u'+') ? 1 : out.startsWith(QLatin1String("00")) ? 2 : 0;
    const qsizetype code = out.size() - prefix;
    if (prefix == 0 || code < 1 || code > 3)
        return false;
    for (qsizetype k = prefix; k < out.size(); ++k)
        if (!isDigit(out.at(k)))
            return false;
    return true;
}

enum class Reading
{
    Earlier, // pauses as written; extensions and trunk zeros joined to the number
    Current,
};

QString readDialString(const QString &written, Reading how)
{
    const bool current = how == Reading::Current;
    const auto afterDialKey = [](const QString &out) {
        return !out.isEmpty() && (isDialKey(out.back()) || isPause(out.back()));
    };
    QString out;
    for (qsizetype i = 0; i < written.size();) {
        const QChar c = written.at(i);
        if (!c.isLetter()) {
            const qsizetype trunk = current && countryCodeSoFar(out) ? trunkZeroAt(written, i) : 0;
            if (trunk > 0) {
                i += trunk;
                continue;
            }
            if (isDialKey(c) || c == u'+')
                out += c;
            else if (current && c == u',' && afterDialKey(out))
                out += pauseForm(c);
            ++i;
            continue;
        }
        qsizetype end = i;
        bool pauses = true;
        for (; end < written.size() && written.at(end).isLetter(); ++end)
            pauses = pauses && isPause(written.at(end));
        const QStringView word = QStringView(written).mid(i, end - i);
        if (current && !out.isEmpty() && isDialKey(out.back()) && isExtensionWord(word) &&
            digitFollows(written, end)) {
            out += u'p';
        } else if (pauses && afterDialKey(out)) {
            for (QChar p : word)
                out += current ? pauseForm(p) : p;
        }
        i = end;
    }
    return out;
}

} // namespace

QString dialStringOf(const QString &written)
{
    return readDialString(written, Reading::Current);
}

QString digitsAndPlusOf(const QString &written)
{
    QString out;
    for (QChar c : written)
        if (isDigit(c) || c == u'+')
            out += c;
    return out;
}

QStringList earlierReadingsOf(const QString &written)
{
    QStringList forms{onePauseForm(readDialString(written, Reading::Earlier)), digitsAndPlusOf(written)};
    // A telephone URI was read without its parameters: an extension was left off.
    for (const QLatin1String param : {QLatin1String(";ext="), QLatin1String(";postd=")})
        if (written.contains(param, Qt::CaseInsensitive))
            forms << onePauseForm(readDialString(written.section(u';', 0, 0), Reading::Earlier));
    const QString now = dialStringOf(written);
    QStringList out;
    for (const QString &f : forms)
        if (!f.isEmpty() && f != now && !out.contains(f))
            out << f;
    return out;
}

QString onePauseForm(const QString &number)
{
    for (qsizetype k = 0; k < number.size(); ++k) {
        const QChar c = number.at(k);
        if (!isDialKey(c) && !isPause(c) && c != u',' && !(c == u'+' && k == 0))
            return number;
    }
    QString out = number;
    for (QChar &c : out)
        if (isPause(c) || c == u',')
            c = pauseForm(c);
    return out;
}

bool dialCharacterAt(const QString &number, qsizetype k)
{
    const QChar c = number.at(k);
    if (isDialKey(c))
        return true;
    if (c == u'+')
        return k == 0;
    if (!isPause(c))
        return false;
    qsizetype before = k - 1;
    while (before >= 0 && isPause(number.at(before)))
        --before;
    return before >= 0 && isDialKey(number.at(before));
}

} // namespace orvia
