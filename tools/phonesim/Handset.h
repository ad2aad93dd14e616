#pragma once
// One simulated handset's command interpreter: a command line in, the reply that follows the echo
// out ("\r\nINFO\r\n\r\nOK\r\n"). Knows both families' phonebook and calendar commands and the
// standard commands a general AT client sends. No I/O and no time.
#include "phonesim/AtCommandLine.h"
#include "phonesim/HandsetContents.h"
#include "phonesim/ModelTable.h"

#include <QByteArray>
#include <QStringList>

namespace orvia::phonesim {

// How SIM commands fail while the SIM is not ready.
enum class SimErrorStyle
{
    FollowCmee, // "ERROR" with AT+CMEE=0, "+CME ERROR: 11" with 1, the text with 2
    Cme,        // always "+CME ERROR: 11"
    Plain,      // always "ERROR"
};

class Handset
{
public:
    // Throws std::invalid_argument when contents.model is not a model of the table.
    explicit Handset(HandsetContents contents);

    QByteArray execute(const QByteArray &line);

    const ModelInfo &model() const { return *m_model; }
    const HandsetContents &contents() const { return m_contents; }
    HandsetContents &contents() { return m_contents; }
    bool echo() const { return m_echo; }
    int cmee() const { return m_cmee; }
    QString selectedMemory() const { return m_memory; }
    QString charset() const { return m_charset; }
    void setSimErrorStyle(SimErrorStyle s) { m_simStyle = s; }
    void reset(); // what ATZ does: echo on, numeric errors off

private:
    struct Outcome
    {
        enum class Status
        {
            Ok,
            Syntax,
            Cme,
            Sim,
            PlainError
        };
        QStringList lines;
        Status status = Status::Ok;
        int cme = 0;
        static Outcome ok(QStringList lines = {}) { return {std::move(lines), Status::Ok, 0}; }
        static Outcome syntax() { return {{}, Status::Syntax, 0}; }
        static Outcome error(int cme) { return {{}, Status::Cme, cme}; }
        static Outcome sim() { return {{}, Status::Sim, 11}; }
        static Outcome plain() { return {{}, Status::PlainError, 0}; }
    };

    Outcome run(const AtCommand &c);
    Outcome runGeneral(const AtCommand &c, bool *handled);
    // General commands (Handset.cpp)
    Outcome resetCommand(const AtCommand &c);
    Outcome switchCommand(const AtCommand &c);
    Outcome identCommand(const AtCommand &c);
    Outcome acceptCommand(const AtCommand &c);
    Outcome fixedAnswer(const AtCommand &c, const QString &value);
    Outcome imsiCommand(const AtCommand &c);
    Outcome cmeeCommand(const AtCommand &c);
    Outcome charsetCommand(const AtCommand &c);
    Outcome functionCommand(const AtCommand &c);
    Outcome pinCommand(const AtCommand &c);
    Outcome runPhonebook(const AtCommand &c, bool *handled);
    Outcome runCalendar(const AtCommand &c, bool *handled);
    QByteArray finalLine(const Outcome &o) const;

    // Phonebook (HandsetPhonebook.cpp)
    Outcome selectMemory(const QString &args);
    Outcome memoryStatus();
    Outcome readEntries(const QString &args);
    Outcome writeEntry(const QString &args);
    QString entryLine(int location, const PhonebookEntry &e) const;
    QString wireText(const QString &text) const;                    // in the selected charset
    std::optional<QString> fromWireText(const QString &wire) const; // nullopt: not valid in it
    Memory *selected(); // nullptr while the SIM is selected and not ready

    // Calendar (HandsetCalendar.cpp)
    Outcome velmoraList();
    Outcome velmoraWrite(const QString &args);
    Outcome tarvexRead(const QString &args);
    Outcome tarvexWrite(const QString &args);
    Outcome deleteEvent(const QString &args);

    const ModelInfo *m_model;
    HandsetContents m_contents;
    bool m_echo = true;
    int m_cmee = 0;
    QString m_charset = QStringLiteral("IRA");
    QString m_memory = QStringLiteral("SM");
    SimErrorStyle m_simStyle = SimErrorStyle::FollowCmee;
};

} // namespace orvia::phonesim
