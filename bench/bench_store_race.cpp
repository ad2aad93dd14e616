// Lost edits under a concurrent writer: contacts runs write numbers into the same cards that another
// program edits at the same time, in place (read, then write over the same file) and by rename (a new
// file moved over the card), as address book tools do, without any locks. Every edit the other program
// finished must be in the card after the run. Prints runs, edits, edits lost and runs that lost one.
//
//   bench_store_race [--runs N] [--edits E] [--cards C]
#include "common/Globals.h"
#include "data/ContactKind.h"
#include "data/DBPhonebook.h"
#include "data/Operation.h"
#include "endpoints/OutlookControl.h"
#include "endpoints/RunOwner.h"
#include "platform/RuntimeError.h"
#include "platform/Timer.h"

#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace orvia;

namespace {

struct Loop : IMessageLoop
{
    void yieldOnce() override {}
    void pause(int) override {}
};

struct Owner : IRunOwner
{
    void MrCallback(qint16) override {}
    void SetProgress(double) override {}
    bool UserInterrupt() override { return false; }
    void RecoverFromPhoneError() override {}
    qint16 SyncStateMachine() const override { return 2; }
};

std::string cardPath(const std::string &dir, int i)
{
    return dir + "/c" + std::to_string(i) + ".vcf";
}

bool readAll(int fd, std::string &out)
{
    out.clear();
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        out.append(buf, size_t(n));
    }
}

bool readFile(const std::string &path, std::string &out)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = readAll(fd, out);
    ::close(fd);
    return ok;
}

bool writeAll(int fd, const std::string &data)
{
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::pwrite(fd, data.data() + done, data.size() - done, off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        done += size_t(n);
    }
    return ::ftruncate(fd, off_t(data.size())) == 0;
}

// The card with one more line of the other program's own, put before its end.
bool withEdit(std::string &card, const std::string &tag)
{
    const size_t end = card.rfind("END:VCARD");
    if (end == std::string::npos)
        return false;
    card.insert(end, "X-OTHER-EDIT:" + tag + "\r\n");
    return true;
}

struct Edit
{
    int card;
    std::string tag;
    bool inPlace;
};

// The other program: edits random cards until told to stop, one in about `gapUs` microseconds, each
// either in place (one descriptor: read, then write over) or by writing a new file and renaming it over
// the card. Records the edits it finished.
void otherProgram(const std::string &dir, int cards, int run, long gapUs, unsigned seed,
                  const std::atomic<bool> &stop, std::vector<Edit> &done)
{
    std::mt19937 rng(seed);
    int k = 0;
    while (!stop.load()) {
        const long wait = gapUs > 0 ? long(rng() % unsigned(2 * gapUs)) : 0;
        std::this_thread::sleep_for(std::chrono::microseconds(wait));
        if (stop.load())
            break;
        const int card = int(rng() % unsigned(cards));
        const std::string path = cardPath(dir, card);
        const std::string tag = std::to_string(run) + "-" + std::to_string(k++);
        std::string text;
        if (rng() % 2 == 0) {
            const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
            if (fd < 0)
                continue;
            const bool ok = readAll(fd, text) && withEdit(text, tag) && writeAll(fd, text);
            ::close(fd);
            if (ok)
                done.push_back({card, tag, true});
        } else {
            if (!readFile(path, text) || !withEdit(text, tag))
                continue;
            const std::string tmp = dir + "/.other-" + std::to_string(card) + ".new";
            const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
            if (fd < 0)
                continue;
            const bool ok = writeAll(fd, text);
            ::close(fd);
            if (ok && ::rename(tmp.c_str(), path.c_str()) == 0)
                done.push_back({card, tag, false});
            else
                ::unlink(tmp.c_str());
        }
    }
}

int argValue(int argc, char **argv, const char *name, int fallback)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return std::atoi(argv[i + 1]);
    return fallback;
}

} // namespace

int main(int argc, char **argv)
{
    const int runs = argValue(argc, argv, "--runs", 100);
    const int editsPerRun = argValue(argc, argv, "--edits", 12);
    const int cards = argValue(argc, argv, "--cards", 20);
    // Data per card a run writes: two numbers of each kind and three addresses, every slot a save.
    const struct
    {
        ContactKind typ;
        const char *prefix;
    } data[] = {{ContactKind::Mobile, "+49170"}, {ContactKind::Mobile, "+49171"}, {ContactKind::Home, "030"},
                {ContactKind::Home, "031"},      {ContactKind::Work, "040"},      {ContactKind::Work, "041"},
                {ContactKind::Email, "a@"},      {ContactKind::Email, "b@"},      {ContactKind::Email, "c@"}};

    long gapUs = 2000;
    long edits = 0, lost = 0, inPlace = 0, lostInPlace = 0, runsLosing = 0, runErrors = 0;
    for (int run = 0; run < runs; ++run) {
        resetGlobals();
        QTemporaryDir tmp;
        const QString root = tmp.path() + QStringLiteral("/pim");
        Loop loop;
        Owner owner;
        OutlookControl ol(root, &loop);
        ol.setOwner(&owner);
        if (!ol.Init()) {
            std::fprintf(stderr, "the store could not be opened\n");
            return 2;
        }
        const std::string dir =
            QFile::encodeName(root + QStringLiteral("/Personal Folders/Contacts")).toStdString();
        for (int i = 0; i < cards; ++i) {
            const std::string n = std::to_string(i);
            QFile f(QString::fromStdString(cardPath(dir, i)));
            f.open(QIODevice::WriteOnly);
            f.write(QByteArray::fromStdString("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:c" + n + "\r\nFN:Person " +
                                              n + "\r\nN:" + n + ";Person;;;\r\nEND:VCARD\r\n"));
        }
        // The run's additions, card after card for each slot, so every card is written again and again.
        auto pb = std::make_shared<DBPhonebook>();
        std::vector<qint16> ids(size_t(cards), 0);
        for (int i = 0; i < cards; ++i)
            pb->add(ids[size_t(i)], 0, QString(), QStringLiteral("Person %1").arg(i), ContactKind::Name,
                    Operation::None);
        for (const auto &d : data)
            for (int i = 0; i < cards; ++i) {
                qint16 id = ids[size_t(i)];
                const QString value = QLatin1String(d.prefix) + QString::number(1000 + i);
                pb->add(id, 0, QString(),
                        d.typ == ContactKind::Email ? value + QStringLiteral("x.org") : value, d.typ,
                        Operation::Add);
            }

        std::atomic<bool> stop{false};
        std::vector<Edit> done;
        std::thread other(otherProgram, dir, cards, run, gapUs, unsigned(run * 7919 + 17), std::cref(stop),
                          std::ref(done));
        const auto start = std::chrono::steady_clock::now();
        try {
            ol.UpdateContacts(pb);
        } catch (const RuntimeError &) {
            ++runErrors; // the run gave up on a card that kept changing: nothing lost by that
        }
        const long tookUs = long(
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start)
                .count());
        stop.store(true);
        other.join();
        // About the asked number of edits during each run.
        gapUs = std::max(50L, tookUs / std::max(1, editsPerRun));

        long lostHere = 0;
        for (const Edit &e : done) {
            std::string text;
            if (!readFile(cardPath(dir, e.card), text) ||
                text.find("X-OTHER-EDIT:" + e.tag + "\r\n") == std::string::npos) {
                ++lostHere;
                lostInPlace += e.inPlace ? 1 : 0;
            }
            inPlace += e.inPlace ? 1 : 0;
        }
        edits += long(done.size());
        lost += lostHere;
        runsLosing += lostHere > 0 ? 1 : 0;
    }
    std::printf("runs %d, edits %ld (in place %ld), lost %ld (in place %ld), runs losing an edit %ld, "
                "runs that gave up on a card %ld\n",
                runs, edits, inPlace, lost, lostInPlace, runsLosing, runErrors);
    return lost == 0 ? 0 : 1;
}
