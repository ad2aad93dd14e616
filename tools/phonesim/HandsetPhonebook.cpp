// The phonebook commands: AT+CPBS, AT+CPBR, AT+CPBW in the forms both families and general clients use.
#include "phonesim/Fields.h"
#include "phonesim/Handset.h"

namespace orvia::phonesim {

namespace {

enum : int
{
    kOperationNotAllowed = 3,
    kMemoryFull = 20,
    kInvalidIndex = 21,
    kTextTooLong = 24,
    kDialTooLong = 26,
    kBadParameters = 50
};

// The Tarvex family names the memory of a write by a digit after the location.
QString memoryOfDigit(int digit)
{
    return digit == 0 ? QStringLiteral("SM") : digit == 2 ? QStringLiteral("ME") : QString();
}

} // namespace

Memory *Handset::selected()
{
    if (m_memory == QLatin1String("SM") && !m_contents.simReady)
        return nullptr;
    return m_contents.memory(m_memory);
}

QString Handset::wireText(const QString &text) const
{
    if (m_charset != QLatin1String("UCS2"))
        return text;
    QString hex;
    for (QChar c : text)
        hex += QStringLiteral("%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    return hex;
}

std::optional<QString> Handset::fromWireText(const QString &wire) const
{
    if (m_charset != QLatin1String("UCS2"))
        return wire;
    if (wire.size() % 4 != 0)
        return std::nullopt;
    QString text;
    for (qsizetype i = 0; i < wire.size(); i += 4) {
        bool ok = false;
        const uint u = wire.mid(i, 4).toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        text.append(QChar(static_cast<char16_t>(u)));
    }
    return text;
}

QString Handset::entryLine(int location, const PhonebookEntry &e) const
{
    QString line = QStringLiteral("+CPBR: %1,\"%2\",%3,\"%4\"")
                       .arg(location)
                       .arg(e.number, e.type ? QString::number(*e.type) : QString(), wireText(e.name));
    if (m_model->extendedPhonebook)
        line += u',' + QString::number(e.category);
    return line;
}

Handset::Outcome Handset::runPhonebook(const AtCommand &c, bool *handled)
{
    using K = AtCommand::Kind;
    *handled = true;
    if (c.name == QLatin1String("+CPBS")) {
        if (c.kind == K::Test)
            return Outcome::ok({QStringLiteral("+CPBS: (\"SM\",\"ME\")")});
        if (c.kind == K::Query)
            return memoryStatus();
        if (c.kind == K::Set)
            return selectMemory(c.args);
        return Outcome::syntax();
    }
    if (c.name == QLatin1String("+CPBR")) {
        Memory *m = selected();
        if (!m)
            return Outcome::sim();
        if (c.kind == K::Test)
            return Outcome::ok({QStringLiteral("+CPBR: (1-%1),%2,%3")
                                    .arg(m->capacity)
                                    .arg(m_model->numberLength)
                                    .arg(m_model->nameLength)});
        return c.kind == K::Set ? readEntries(c.args) : Outcome::syntax();
    }
    if (c.name == QLatin1String("+CPBW")) {
        Memory *m = selected();
        if (!m && c.kind == K::Test)
            return Outcome::sim();
        if (c.kind == K::Test)
            return Outcome::ok({QStringLiteral("+CPBW: (1-%1),%2,(129,145),%3")
                                    .arg(m->capacity)
                                    .arg(m_model->numberLength)
                                    .arg(m_model->nameLength)});
        return c.kind == K::Set ? writeEntry(c.args) : Outcome::syntax();
    }
    *handled = false;
    return Outcome::syntax();
}

Handset::Outcome Handset::selectMemory(const QString &args)
{
    const auto f = splitFields(args, false);
    if (!f || f->size() != 1)
        return Outcome::syntax();
    const QString name = f->at(0).text.toUpper();
    if (!m_contents.memory(name))
        return Outcome::error(kOperationNotAllowed);
    if (name == QLatin1String("SM") && !m_contents.simReady)
        return Outcome::sim();
    m_memory = name;
    return Outcome::ok();
}

Handset::Outcome Handset::memoryStatus()
{
    const Memory *m = selected();
    if (!m)
        return Outcome::sim();
    return Outcome::ok({QStringLiteral("+CPBS: \"%1\",%2,%3").arg(m_memory).arg(m->used()).arg(m->capacity)});
}

Handset::Outcome Handset::readEntries(const QString &args)
{
    const Memory *m = selected();
    const auto f = splitFields(args, false);
    if (!f || f->isEmpty() || f->size() > 2)
        return Outcome::syntax();
    const auto first = intField(f->at(0), 1, m->capacity);
    const auto last = f->size() == 2 ? intField(f->at(1), 1, m->capacity) : first;
    if (!first || !last || *last < *first)
        return Outcome::error(kInvalidIndex);
    QStringList lines;
    for (auto it = m->entries.lower_bound(*first); it != m->entries.end() && it->first <= *last; ++it)
        lines << entryLine(it->first, it->second);
    return Outcome::ok(lines); // an empty location answers OK alone
}

Handset::Outcome Handset::writeEntry(const QString &args)
{
    const auto parsed = splitFields(args, false);
    if (!parsed || parsed->isEmpty())
        return Outcome::syntax();
    QList<Field> f = *parsed;

    QString memName = m_memory;
    // Tarvex: location, memory digit, then the standard fields (or nothing: an erase).
    if (m_model->family == Family::Tarvex && f.size() >= 2 && !f.at(1).quoted && !f.at(1).text.isEmpty()) {
        const auto digit = intField(f.at(1), 0, 9);
        if (!digit || memoryOfDigit(*digit).isEmpty())
            return Outcome::error(kBadParameters);
        memName = memoryOfDigit(*digit);
        f.removeAt(1);
    }
    if (memName == QLatin1String("SM") && !m_contents.simReady)
        return Outcome::sim();
    Memory *m = m_contents.memory(memName);

    std::optional<int> location;
    if (!f.at(0).empty()) {
        location = intField(f.at(0), 1, m->capacity);
        if (!location)
            return Outcome::error(kInvalidIndex);
    }
    if (f.size() == 1) { // a location alone erases it
        if (!location)
            return Outcome::syntax();
        m->entries.erase(*location);
        return Outcome::ok();
    }
    const qsizetype maxFields = m_model->extendedPhonebook ? 5 : 4;
    if (f.size() < 4 || f.size() > maxFields || !f.at(1).quoted || !f.at(3).quoted)
        return Outcome::error(kBadParameters);

    PhonebookEntry e;
    e.number = f.at(1).text;
    const auto name = fromWireText(f.at(3).text);
    if (!name)
        return Outcome::error(kBadParameters);
    e.name = *name;
    if (!f.at(2).empty()) {
        e.type = intField(f.at(2), 128, 255);
        if (!e.type)
            return Outcome::error(kBadParameters);
    }
    if (f.size() == 5) {
        const auto cat = intField(f.at(4), 0, 9);
        if (!cat)
            return Outcome::error(kBadParameters);
        e.category = *cat;
    }
    const bool email = m_model->extendedPhonebook && e.category == 3;
    if (memName == QLatin1String("SM") && !email && !m_contents.simPause.isEmpty())
        for (QChar &ch : e.number)
            if (ch == u'p' || ch == u'P' || ch == u',')
                ch = m_contents.simPause.front();
    if (email ? e.number.size() > m_model->emailLength : e.number.size() > m_model->numberLength)
        return Outcome::error(kDialTooLong);
    if (e.name.size() > m_model->nameLength)
        return Outcome::error(kTextTooLong);
    if (!location) {
        location = m->firstFree();
        if (*location == 0)
            return Outcome::error(kMemoryFull);
    }
    m->entries[*location] = e;
    return Outcome::ok();
}

} // namespace orvia::phonesim
