// Desktop store speed: reading a large address book, and writing numbers the way a contacts run does
// (one search by full name per datum, then a save, and one wait for the disk at the end).
#include "platform/pim/AtomicFile.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/PimFolder.h"
#include "platform/pim/PimItems.h"
#include "platform/pim/PimNamespace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace orvia::pim;

namespace {

QString contactsPath(const QString &root)
{
    return root + QStringLiteral("/Personal Folders/Contacts");
}

// A store whose contacts folder holds `n` cards of the size address books typically have.
void fillStore(const QString &root, int n)
{
    PimApplication::create(root);
    const QString dir = contactsPath(root);
    for (int i = 0; i < n; ++i) {
        const QByteArray id = QByteArray::number(i);
        QFile f(dir + QStringLiteral("/c") + QString::number(i) + QStringLiteral(".vcf"));
        f.open(QIODevice::WriteOnly);
        f.write("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:c" + id + "\r\nFN:Person " + id + "\r\nN:" + id +
                ";Person;;;\r\nTEL;TYPE=CELL:+49 170 " + id + "\r\nTEL;TYPE=HOME,VOICE:030 " + id +
                "\r\nEMAIL;TYPE=INTERNET:p" + id + "@example.org\r\nADR;TYPE=HOME:;;Street " + id +
                ";City;;12345;Country\r\nNOTE:Some note about this person\\, long enough to matter.\r\n"
                "END:VCARD\r\n");
    }
}

void BM_ReadFolderOf5000Contacts(benchmark::State &state)
{
    QTemporaryDir tmp;
    fillStore(tmp.path(), 5000);
    for (auto _ : state) {
        // A new namespace each time: nothing cached from the previous pass.
        auto ns = PimApplication::attach(tmp.path())->GetNamespace(QStringLiteral("MAPI"));
        auto folder = ns->GetDefaultFolder(FolderContacts);
        // As a contacts run reads: one look at the folder, then every item by position.
        auto items = folder->Items();
        const int n = items->count();
        qsizetype chars = 0;
        for (int i = 1; i <= n; ++i) {
            auto c = std::static_pointer_cast<ContactItem>(items->Item(i));
            chars += c->FullName().size() + c->MobileTelephoneNumber().size() +
                     c->OtherTelephoneNumber().size() + c->HomeTelephoneNumber().size() +
                     c->Home2TelephoneNumber().size() + c->BusinessTelephoneNumber().size() +
                     c->Business2TelephoneNumber().size() + c->Email1Address().size() +
                     c->Email2Address().size() + c->Email3Address().size();
        }
        benchmark::DoNotOptimize(chars);
    }
}
BENCHMARK(BM_ReadFolderOf5000Contacts)->Unit(benchmark::kMillisecond);

void BM_Write1000NumbersWithASearchEach(benchmark::State &state)
{
    std::vector<std::unique_ptr<QTemporaryDir>> dirs; // removed after the measurement
    for (auto _ : state) {
        state.PauseTiming();
        dirs.push_back(std::make_unique<QTemporaryDir>());
        fillStore(dirs.back()->path(), 5000);
        auto ns = PimApplication::attach(dirs.back()->path())->GetNamespace(QStringLiteral("MAPI"));
        auto folder = ns->GetDefaultFolder(FolderContacts);
        state.ResumeTiming();
        // As a contacts run writes: one look at the folder, then a search and a save per datum. Half the
        // data go to existing contacts, half to 250 new ones (two numbers each).
        auto items = folder->Items();
        for (int i = 0; i < 1000; ++i) {
            const QString name =
                i % 2 ? QStringLiteral("Person %1").arg(i * 5) : QStringLiteral("New Person %1").arg(i / 4);
            auto c = std::static_pointer_cast<ContactItem>(items->Find(PimItems::fullNameFilter(name)));
            if (!c) {
                c = std::static_pointer_cast<ContactItem>(items->add());
                c->setFullName(name);
            }
            if (c->BusinessTelephoneNumber().trimmed().isEmpty())
                c->setBusinessTelephoneNumber(QStringLiteral("040 %1").arg(i));
            else
                c->setBusiness2TelephoneNumber(QStringLiteral("040 %1").arg(i));
            c->Save();
        }
        // A run ends its desktop writes with one wait for the disk: part of the measured time.
        syncFileSystemOf(dirs.back()->path());
    }
}
BENCHMARK(BM_Write1000NumbersWithASearchEach)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
