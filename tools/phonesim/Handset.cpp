#include "phonesim/Handset.h"

#include "phonesim/Fields.h"
#include "platform/Windows1252.h"

#include <stdexcept>

namespace orvia::phonesim {

namespace {

QString cmeText(int n)
{
    switch (n) {
    case 3:
        return QStringLiteral("operation not allowed");
    case 4:
        return QStringLiteral("operation not supported");
    case 11:
        return QStringLiteral("SIM PIN required");
    case 20:
        return QStringLiteral("memory full");
    case 21:
        return QStringLiteral("invalid index");
    case 22:
        return QStringLiteral("not found");
    case 24:
        return QStringLiteral("text string too long");
    case 26:
        return QStringLiteral("dial string too long");
    case 50:
        return QStringLiteral("incorrect parameters");
    default:
        return QStringLiteral("unknown");
    }
}

const QStringList &charsets()
{
    // The first two read the same as the link's Windows-1252 for every character a client is likely
    // to send; with UCS2 phonebook names travel as hexadecimal UTF-16.
    static const QStringList sets = {QStringLiteral("IRA"), QStringLiteral("8859-1"), QStringLiteral("UCS2")};
    return sets;
}

} // namespace

Handset::Handset(HandsetContents contents)
    : m_model(findModel(contents.model)), m_contents(std::move(contents))
{
    if (!m_model)
        throw std::invalid_argument("unknown handset model");
    m_contents.model = m_model->code;
}

void Handset::reset()
{
    m_echo = true;
    m_cmee = 0;
}

QByteArray Handset::execute(const QByteArray &line)
{
    const auto commands = parseCommandLine(cp1252::decode(line));
    if (!commands)
        return finalLine(Outcome::syntax());
    QByteArray out;
    for (const AtCommand &c : *commands) {
        const Outcome o = run(c);
        for (const QString &l : o.lines)
            out += "\r\n" + cp1252::encode(l) + "\r\n";
        if (o.status != Outcome::Status::Ok)
            return out + finalLine(o);
    }
    return out + finalLine(Outcome::ok());
}

QByteArray Handset::finalLine(const Outcome &o) const
{
    using S = Outcome::Status;
    int mode = m_cmee;
    if (o.status == S::Sim && m_simStyle != SimErrorStyle::FollowCmee)
        mode = m_simStyle == SimErrorStyle::Cme ? 1 : 0;
    switch (o.status) {
    case S::Ok:
        return QByteArrayLiteral("\r\nOK\r\n");
    case S::Syntax:
    case S::PlainError:
        return QByteArrayLiteral("\r\nERROR\r\n");
    case S::Cme:
    case S::Sim:
        if (mode == 0)
            return QByteArrayLiteral("\r\nERROR\r\n");
        if (mode == 1)
            return "\r\n+CME ERROR: " + QByteArray::number(o.cme) + "\r\n";
        return "\r\n+CME ERROR: " + cp1252::encode(cmeText(o.cme)) + "\r\n";
    }
    return QByteArrayLiteral("\r\nERROR\r\n");
}

Handset::Outcome Handset::run(const AtCommand &c)
{
    bool handled = false;
    Outcome o = runGeneral(c, &handled);
    if (!handled)
        o = runPhonebook(c, &handled);
    if (!handled)
        o = runCalendar(c, &handled);
    return handled ? o : Outcome::syntax();
}

Handset::Outcome Handset::runGeneral(const AtCommand &c, bool *handled)
{
    // A command either has its own routine or answers one fixed line of the model or the contents.
    struct General
    {
        const char *name;
        Outcome (Handset::*run)(const AtCommand &);
        QString (*fixed)(const Handset &);
    };
    static const General table[] = {
        {"Z", &Handset::resetCommand, nullptr},
        {"&F", &Handset::resetCommand, nullptr},
        {"E", &Handset::switchCommand, nullptr},
        {"V", &Handset::switchCommand, nullptr},
        {"Q", &Handset::switchCommand, nullptr},
        {"I", &Handset::identCommand, nullptr},
        {"X", &Handset::acceptCommand, nullptr},
        {"&C", &Handset::acceptCommand, nullptr},
        {"&D", &Handset::acceptCommand, nullptr},
        {"+GMM", nullptr, [](const Handset &h) { return h.m_model->gmmLine; }},
        {"+CGMM", nullptr, [](const Handset &h) { return h.m_model->cgmmLine; }},
        {"+GMI", nullptr, [](const Handset &h) { return h.m_model->maker; }},
        {"+CGMI", nullptr, [](const Handset &h) { return h.m_model->maker; }},
        {"+GMR", nullptr, [](const Handset &h) { return h.m_model->revision; }},
        {"+CGMR", nullptr, [](const Handset &h) { return h.m_model->revision; }},
        {"+GSN", nullptr, [](const Handset &h) { return h.m_contents.imei; }},
        {"+CGSN", nullptr, [](const Handset &h) { return h.m_contents.imei; }},
        {"+CIMI", &Handset::imsiCommand, nullptr},
        {"+CMEE", &Handset::cmeeCommand, nullptr},
        {"+CSCS", &Handset::charsetCommand, nullptr},
        {"+CFUN", &Handset::functionCommand, nullptr},
        {"+CPIN", &Handset::pinCommand, nullptr},
    };
    for (const General &g : table) {
        if (c.name != QLatin1String(g.name))
            continue;
        *handled = true;
        if (g.fixed)
            return fixedAnswer(c, g.fixed(*this));
        return (this->*g.run)(c);
    }
    *handled = false;
    return Outcome::syntax();
}

Handset::Outcome Handset::resetCommand(const AtCommand &c)
{
    if (c.kind != AtCommand::Kind::Action && c.args != QLatin1String("0"))
        return Outcome::syntax();
    reset();
    return Outcome::ok();
}

Handset::Outcome Handset::switchCommand(const AtCommand &c)
{
    const QString v = c.kind == AtCommand::Kind::Action ? QStringLiteral("0") : c.args;
    if (v != QLatin1String("0") && v != QLatin1String("1"))
        return Outcome::syntax();
    if (c.name == QLatin1String("E"))
        m_echo = v == QLatin1String("1");
    else if ((c.name == QLatin1String("V")) != (v == QLatin1String("1")))
        return Outcome::syntax(); // only verbose results, never quiet
    return Outcome::ok();
}

Handset::Outcome Handset::identCommand(const AtCommand &)
{
    return Outcome::ok({m_model->identLine});
}

Handset::Outcome Handset::acceptCommand(const AtCommand &)
{
    return Outcome::ok();
}

Handset::Outcome Handset::fixedAnswer(const AtCommand &c, const QString &value)
{
    if (c.kind == AtCommand::Kind::Test)
        return Outcome::ok();
    return c.kind == AtCommand::Kind::Action ? Outcome::ok({value}) : Outcome::syntax();
}

Handset::Outcome Handset::imsiCommand(const AtCommand &c)
{
    if (c.kind != AtCommand::Kind::Action)
        return Outcome::syntax();
    return m_contents.simReady ? Outcome::ok({m_contents.imsi}) : Outcome::sim();
}

Handset::Outcome Handset::cmeeCommand(const AtCommand &c)
{
    if (c.kind == AtCommand::Kind::Query)
        return Outcome::ok({QStringLiteral("+CMEE: %1").arg(m_cmee)});
    if (c.kind == AtCommand::Kind::Test)
        return Outcome::ok({QStringLiteral("+CMEE: (0-2)")});
    const auto f = splitFields(c.args, false);
    const auto v = f && f->size() == 1 ? intField(f->at(0), 0, 2) : std::nullopt;
    if (!v)
        return Outcome::syntax();
    m_cmee = *v;
    return Outcome::ok();
}

Handset::Outcome Handset::charsetCommand(const AtCommand &c)
{
    if (c.kind == AtCommand::Kind::Query)
        return Outcome::ok({QStringLiteral("+CSCS: \"%1\"").arg(m_charset)});
    if (c.kind == AtCommand::Kind::Test)
        return Outcome::ok(
            {QStringLiteral("+CSCS: (\"") + charsets().join(QLatin1String("\",\"")) + QStringLiteral("\")")});
    const auto f = splitFields(c.args, false);
    if (!f || f->size() != 1 || f->at(0).text.isEmpty())
        return Outcome::syntax();
    for (const QString &s : charsets()) {
        if (s.compare(f->at(0).text, Qt::CaseInsensitive) == 0) {
            m_charset = s;
            return Outcome::ok();
        }
    }
    return Outcome::error(4);
}

Handset::Outcome Handset::functionCommand(const AtCommand &c)
{
    if (c.kind == AtCommand::Kind::Query)
        return Outcome::ok({QStringLiteral("+CFUN: 1")});
    if (c.kind == AtCommand::Kind::Test)
        return Outcome::ok({QStringLiteral("+CFUN: (0,1,4)")});
    const auto f = splitFields(c.args, false);
    const auto v = f && !f->isEmpty() ? intField(f->at(0), 0, 4) : std::nullopt;
    if (!v || *v == 2 || *v == 3)
        return Outcome::error(50);
    return Outcome::ok();
}

Handset::Outcome Handset::pinCommand(const AtCommand &c)
{
    if (c.kind == AtCommand::Kind::Query)
        return Outcome::ok(
            {m_contents.simReady ? QStringLiteral("+CPIN: READY") : QStringLiteral("+CPIN: SIM PIN")});
    if (c.kind == AtCommand::Kind::Test)
        return Outcome::ok();
    const auto f = splitFields(c.args, false);
    if (!f || f->isEmpty() || f->at(0).text.size() < 4 || f->at(0).text.size() > 8)
        return Outcome::error(50);
    if (m_contents.simReady)
        return Outcome::error(3);
    m_contents.simReady = true; // any PIN of the right length is the right one
    return Outcome::ok();
}

} // namespace orvia::phonesim
