// Fuzzes the iCalendar reader: any input is read or refused; a readable event can be changed and saved.
#include "FuzzInputSize.h"
#include "platform/RuntimeError.h"
#include "platform/pim/AppointmentItem.h"
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
    std::shared_ptr<orvia::pim::AppointmentItem> a;
    try {
        a = orvia::pim::AppointmentItem::fromData(input);
    } catch (const orvia::RuntimeError &e) {
        if (e.number() != orvia::ErrItemRefused)
            std::abort();
        return 0;
    }
    (void)a->subject();
    (void)a->body();
    (void)a->start();
    (void)a->end();
    (void)a->AllDayEvent();
    (void)a->unresolvedZone();
    (void)a->ReminderSet();
    (void)a->ReminderMinutesBeforeStart();
    a->setReminderMinutesBeforeStart(10);
    try {
        const QByteArray written = a->fileData();
        orvia::pim::AppointmentItem::fromData(written);
    } catch (const orvia::RuntimeError &e) {
        if (e.number() != orvia::ErrItemRefused && e.number() != orvia::ErrInvalidArgument)
            std::abort();
    }
    return 0;
}
