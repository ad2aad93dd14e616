// Fuzzes the vCard reader and writer: any input is read or refused, and what is written reads back.
#include "FuzzInputSize.h"
#include "common/DialString.h"
#include "platform/RuntimeError.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/ItemLimits.h"

#include <cstdint>
#include <cstdlib>

// Large enough to pass every size limit of the reader by one byte.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    orvia::fuzz::allowInputsUpTo(argc, argv, std::size_t(orvia::pim::maxItemFileSize) + 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    std::shared_ptr<orvia::pim::ContactItem> c;
    try {
        c = orvia::pim::ContactItem::fromData(input);
    } catch (const orvia::RuntimeError &e) {
        if (e.number() != orvia::ErrItemRefused)
            std::abort();
        return 0;
    }
    const QString name = c->FullName();
    (void)c->MobileTelephoneNumber();
    // A number as the desktop reads it is what goes to the phone; read again it must be itself.
    for (const QString &raw : c->AllTelephoneNumbers()) {
        const QString number = orvia::dialStringOf(raw);
        if (orvia::dialStringOf(number) != number || orvia::onePauseForm(number) != number ||
            orvia::earlierReadingsOf(raw).contains(number))
            std::abort();
    }
    (void)c->Email3Address();
    c->setHome2TelephoneNumber(QStringLiteral("+49 30 1234"));
    c->setEmail2Address(QStringLiteral("a@b"));
    const QByteArray written = c->fileData();
    if (written.size() > orvia::pim::maxItemFileSize)
        return 0; // the store refuses to save a card it could not read back
    std::shared_ptr<orvia::pim::ContactItem> back;
    try {
        back = orvia::pim::ContactItem::fromData(written);
    } catch (const orvia::RuntimeError &) {
        std::abort(); // what we write must always read back
    }
    if (back->Home2TelephoneNumber() != c->Home2TelephoneNumber())
        std::abort();
    return 0;
}
