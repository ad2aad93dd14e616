// Feeds arbitrary bytes to a simulated handset (cut into arbitrary pieces, any model, any echo and
// error mode the bytes switch on) and to the contents file parser: neither may crash, hang or grow
// without bound, and the handset must still answer afterwards.
#include "phonesim/ContentsFile.h"
#include "phonesim/ModelTable.h"
#include "phonesim/PhoneSim.h"

#include <cstdint>
#include <cstdlib>

using namespace orvia::phonesim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const QStringList models = modelCodes();
    PhoneSim sim(models.at(data[0] % models.size()));
    sim.setRecording(false);
    const size_t piece = 1 + data[1] % 64;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 2), static_cast<qsizetype>(size - 2));
    for (qsizetype i = 0; i < bytes.size(); i += static_cast<qsizetype>(piece))
        sim.receive(bytes.mid(i, static_cast<qsizetype>(piece)));
    const QByteArray after = sim.receiveAll("\rATE1\rAT\r");
    if (!after.endsWith("AT\r\r\nOK\r\n"))
        std::abort();

    const ContentsResult r = parseContents(QString::fromUtf8(bytes));
    if (r.contents) {
        const ContentsResult again = parseContents(formatContents(*r.contents));
        if (!again.contents || !(*again.contents == *r.contents))
            std::abort();
    }
    return 0;
}
