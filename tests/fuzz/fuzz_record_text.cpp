// Record text forms: phonebook, calendar and features lines, and the store files. Malformed input may
// only end in the program's runtime error; what parses must write back to text that parses the same.
#include "common/Windows1252.h"
#include "data/DBCalendar.h"
#include "data/DBPhonebook.h"
#include "data/ModFeatures.h"
#include "platform/RuntimeError.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

using namespace orvia;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

// Every field but the datum, whose line breaks take their written shape (a lone LF is dropped).
QString phonebookFields(const DBPhonebookItem &r)
{
    return QString::number(r.id) + u'|' + QString::number(r.location) + u'|' + r.memory + u'|' +
           QString::number(qint16(r.operation)) + u'|' + QString::number(qint16(r.typ));
}

void phonebookLine(const QString &s)
{
    DBPhonebookItem r;
    try {
        r.SetDataText(s);
    } catch (const RuntimeError &) {
        return;
    }
    QString line = r.GetDataText();
    check(line.endsWith(QStringLiteral("\r\n")));
    line.chop(2);
    DBPhonebookItem back;
    back.SetDataText(line);
    check(phonebookFields(back) == phonebookFields(r));
    check(back.GetDataText() == r.GetDataText());
}

void calendarLine(const QString &s)
{
    DBCalendarItem e;
    try {
        e.SetDataText(s);
    } catch (const RuntimeError &) {
        return;
    }
    const QString line = e.GetDataText();
    DBCalendarItem back;
    back.SetDataText(line);
    check(back.GetDataText() == line);
    check(back.dstart == e.dstart && back.dend == e.dend && back.alarm == e.alarm && back.prerem == e.prerem);
}

void featuresLine(const QString &s)
{
    ModFeatures mf;
    try {
        mf.SetDataText(s);
    } catch (const RuntimeError &) {
        return;
    }
    ModFeatures back;
    back.SetDataText(mf.GetDataText());
    check(back.GetDataText() == mf.GetDataText());
}

const QString &scratchFile()
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("store.txt"));
    return path;
}

template <typename Store> void storeFile(const QByteArray &bytes)
{
    {
        QFile f(scratchFile());
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        f.write(bytes);
    }
    Store store;
    store.name = QStringLiteral("before");
    try {
        store.Load(scratchFile());
    } catch (const RuntimeError &) {
        check(store.name == QStringLiteral("before") && store.count() == 0); // a failed load changes nothing
        return;
    }
    store.Save(scratchFile());
    Store back;
    back.Load(scratchFile());
    check(back.GetDataText() == store.GetDataText());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t selector = data[0];
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QString text = (selector & 0x10) ? fromWindows1252(bytes) : QString::fromUtf8(bytes);
    static const QLocale locales[] = {QLocale::c(), QLocale(QLocale::German, QLocale::Germany),
                                      QLocale(QLocale::French, QLocale::France),
                                      QLocale(QLocale::English, QLocale::UnitedStates)};
    QLocale::setDefault(locales[(selector >> 5) & 3]);
    switch (selector & 0x7) {
    case 0:
        phonebookLine(text);
        break;
    case 1:
        calendarLine(text);
        break;
    case 2:
        featuresLine(text);
        break;
    case 3:
        storeFile<DBPhonebook>(bytes);
        break;
    case 4:
        storeFile<DBCalendar>(bytes);
        break;
    default:
        phonebookLine(text);
        calendarLine(text);
        featuresLine(text);
        break;
    }
    return 0;
}
