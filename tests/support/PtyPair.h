#pragma once
// A pseudo-terminal pair for serial tests: the code under test opens slavePath() as its port, the
// test plays the far end on the master side.
#include <QByteArray>
#include <QString>

namespace orvia::test {

class PtyPair
{
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool ok() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }
    int masterFd() const { return m_master; }

    bool write(const QByteArray &bytes);
    // What the far end has received so far, waiting up to `waitMs` for the first byte.
    QByteArray read(int waitMs = 0);
    // Reads until `needle` has arrived or `waitMs` passed (Qt events are processed meanwhile so the
    // code under test can write); returns all that was read.
    QByteArray readUntil(const QByteArray &needle, int waitMs = 2000);
    // Hangs up the far end: the slave side then sees end of line (EIO).
    void closeMaster();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};

} // namespace orvia::test
