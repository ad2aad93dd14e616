// Random phonebooks (record text lines) grouped into families, merged and diffed: nothing may crash, and
// the indexed look-ups must give exactly what plain scans give. Random text through the GSM conversion:
// whatever converts must convert back unchanged.
#include "../families/FamilyHelpers.h"
#include "common/GsmCharset.h"
#include "platform/RuntimeError.h"

#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace orvia;

namespace {

std::shared_ptr<DBPhonebook> storeFrom(const QStringList &lines)
{
    auto store = std::make_shared<DBPhonebook>();
    for (const QString &line : lines) {
        auto r = std::make_shared<DBPhonebookItem>();
        try {
            r->SetDataText(line);
        } catch (const RuntimeError &) {
            continue;
        }
        store->AddItem(r);
    }
    return store;
}

void check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 8192)
        return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));

    for (bool toGsm : {true, false}) {
        const QString converted = ConvertGsmCharset(text, toGsm);
        if (!converted.isEmpty())
            check(ConvertGsmCharset(converted, !toGsm) == text);
    }

    // Two sides, split at a blank line; each line one record.
    const qsizetype split = text.indexOf(QStringLiteral("\n\n"));
    const auto side1 = storeFrom(text.left(split < 0 ? text.size() : split).split(u'\n'));
    const auto side2 = storeFrom(split < 0 ? QStringList() : text.mid(split + 2).split(u'\n'));
    const ModFeatures fea1 = test::features(size % 2 == 0);
    const ModFeatures fea2 = test::features(size % 3 != 0);
    try {
        const auto fam1 = side1->GroupFamilies(fea1);
        const auto fam2 = side2->GroupFamilies(fea2);
        check(fam1->GetDataText() == test::scanGroup(*side1, fea1)->GetDataText());
        check(fam2->GetDataText() == test::scanGroup(*side2, fea2)->GetDataText());
        const auto merged = fam1->MergeContacts(*fam2);
        check(merged->GetDataText() == test::scanMerge(*fam1, *fam2)->GetDataText());
        check(merged->DiffContacts(*fam1)->GetDataText() == test::scanDiff(*merged, *fam1)->GetDataText());
        check(merged->DiffContacts(*fam2)->GetDataText() == test::scanDiff(*merged, *fam2)->GetDataText());
    } catch (const RuntimeError &) {
        // Ids at the 16-bit limit overflow when a new one is needed: a clear error, not a crash.
    }
    return 0;
}
