#pragma once
// The simulator core: bytes from the client in, reply pieces out. Assembles command lines (ended by
// CR, an LF right after it is dropped), caps their length, echoes them, lets the handset answer and
// applies the configured faults. Pure: no I/O, no clock.
#include "phonesim/Faults.h"
#include "phonesim/Handset.h"

#include <QByteArray>
#include <QList>
#include <vector>

namespace orvia::phonesim {

class PhoneSim
{
public:
    static constexpr qsizetype kMaxLine = 1024; // longer lines are answered ERROR

    // Throws std::invalid_argument for a model that is not in the table.
    explicit PhoneSim(HandsetContents contents);
    explicit PhoneSim(const QString &model) : PhoneSim(HandsetContents::forModel(model)) {}

    std::vector<ReplyPiece> receive(const QByteArray &bytes);
    // The pieces of receive() joined, for tests that do not care how the reply is cut.
    QByteArray receiveAll(const QByteArray &bytes);

    Handset &handset() { return m_handset; }
    const Handset &handset() const { return m_handset; }
    HandsetContents &contents() { return m_handset.contents(); }
    const HandsetContents &contents() const { return m_handset.contents(); }
    FaultConfig &faults() { return m_faults; }

    // Every complete, non-empty command line received, without its line end (kept unless disabled).
    const QList<QByteArray> &commandLines() const { return m_lines; }
    void setRecording(bool on) { m_recording = on; }
    int commandCount() const { return m_count; }

private:
    enum class LineState
    {
        Collecting,
        AfterCr,
        Overflow
    };
    void completeLine(std::vector<ReplyPiece> &out);

    Handset m_handset;
    FaultConfig m_faults;
    LineState m_state = LineState::Collecting;
    QByteArray m_line;
    QList<QByteArray> m_lines;
    bool m_recording = true;
    int m_count = 0;
};

} // namespace orvia::phonesim
