#pragma once
// Small helpers shared by the simulator's tests: a command and its whole answer.
#include "phonesim/PhoneSim.h"

#include <QByteArray>

namespace orvia::phonesim::test {

// Sends one command ended by CR and returns everything the handset answers, echo included.
inline QByteArray ask(PhoneSim &sim, const QByteArray &command)
{
    return sim.receiveAll(command + '\r');
}

// The answer as the drivers see it: without the echo.
inline QByteArray answer(PhoneSim &sim, const QByteArray &command)
{
    const QByteArray all = ask(sim, command);
    const QByteArray echo = command + '\r';
    return all.startsWith(echo) ? all.mid(echo.size()) : all;
}

} // namespace orvia::phonesim::test
