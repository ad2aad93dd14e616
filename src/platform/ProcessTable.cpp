#include "platform/ProcessTable.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <climits>
#include <unistd.h>

namespace orvia {

namespace {

struct Status
{
    QString name;
    long long realUid = -1;
};

Status readStatus(const QString &path)
{
    Status s;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return s;
    const QByteArray all = f.read(16 * 1024);
    for (const QByteArray &line : all.split('\n')) {
        if (line.startsWith("Name:"))
            s.name = QString::fromUtf8(line.mid(5).trimmed());
        else if (line.startsWith("Uid:")) {
            const QList<QByteArray> f2 = line.mid(4).simplified().split(' ');
            bool ok = false;
            const long long v = f2.value(0).toLongLong(&ok);
            if (ok)
                s.realUid = v;
        }
    }
    return s;
}

QString exeBaseName(const QString &procEntry)
{
    char buf[PATH_MAX];
    const QByteArray link = QFile::encodeName(procEntry + QStringLiteral("/exe"));
    const ssize_t n = ::readlink(link.constData(), buf, sizeof buf - 1);
    if (n <= 0)
        return QString();
    QString target = QFile::decodeName(QByteArray(buf, n));
    if (target.endsWith(QLatin1String(" (deleted)")))
        target.chop(10);
    return QFileInfo(target).fileName();
}

} // namespace

QList<ProcessEntry> readProcessTable(const QString &procDir, uint uid)
{
    QList<ProcessEntry> out;
    const QStringList entries = QDir(procDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &e : entries) {
        bool ok = false;
        const qint32 pid = e.toInt(&ok);
        if (!ok || pid <= 0)
            continue;
        const QString dir = procDir + QLatin1Char('/') + e;
        const Status st = readStatus(dir + QStringLiteral("/status"));
        if (st.realUid != (long long)uid)
            continue; // another user's program, or gone meanwhile
        QString name = exeBaseName(dir);
        if (name.isEmpty())
            name = st.name;
        if (!name.isEmpty())
            out.append(ProcessEntry{pid, name});
    }
    std::sort(out.begin(), out.end(),
              [](const ProcessEntry &a, const ProcessEntry &b) { return a.pid < b.pid; });
    return out;
}

} // namespace orvia
