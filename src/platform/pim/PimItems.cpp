#include "platform/pim/PimItems.h"
#include "platform/RuntimeError.h"
#include "platform/pim/FolderStore.h"

namespace orvia::pim {

namespace {

// Parses "[property] = <quoted text>" with either quote character; a doubled quote stands for one.
// Returns false when the filter has any other form.
bool parseFilter(const QString &filter, QString &property, QString &value)
{
    qsizetype i = 0;
    const qsizetype n = filter.size();
    auto skipBlanks = [&] {
        while (i < n && filter.at(i).isSpace())
            ++i;
    };
    skipBlanks();
    if (i >= n || filter.at(i) != QLatin1Char('['))
        return false;
    const qsizetype close = filter.indexOf(QLatin1Char(']'), i + 1);
    if (close < 0)
        return false;
    property = filter.mid(i + 1, close - i - 1).trimmed();
    i = close + 1;
    skipBlanks();
    if (i >= n || filter.at(i) != QLatin1Char('='))
        return false;
    ++i;
    skipBlanks();
    if (i >= n || (filter.at(i) != QLatin1Char('"') && filter.at(i) != QLatin1Char('\'')))
        return false;
    const QChar quote = filter.at(i++);
    value.clear();
    for (;;) {
        if (i >= n)
            return false; // no closing quote
        const QChar c = filter.at(i++);
        if (c != quote) {
            value += c;
            continue;
        }
        if (i < n && filter.at(i) == quote) {
            value += quote;
            ++i;
            continue;
        }
        break;
    }
    skipBlanks();
    return i == n;
}

} // namespace

PimItems::PimItems(std::shared_ptr<FolderStore> store) : m_store(std::move(store))
{
    m_store->refresh();
}

qint32 PimItems::count() const
{
    return m_store->count();
}

std::shared_ptr<PimItem> PimItems::Item(qint32 position) const
{
    return m_store->item(position);
}

bool PimItems::takeUnsyncedChanges() const
{
    return m_store->takeUnsyncedChanges();
}

std::shared_ptr<PimItem> PimItems::Find(const QString &filter) const
{
    QString property, value;
    if (!parseFilter(filter, property, value) ||
        property.compare(QLatin1String("FullName"), Qt::CaseInsensitive) != 0)
        throwError(ErrInvalidArgument, QStringLiteral("cannot parse the condition: ") + filter);
    return m_store->findByFullName(value);
}

std::shared_ptr<PimItem> PimItems::add() const
{
    return m_store->createItem();
}

QString PimItems::fullNameFilter(const QString &name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QStringLiteral("[fullname]= \"") + quoted + QLatin1Char('"');
}

} // namespace orvia::pim
