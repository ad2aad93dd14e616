#include "phonesim/Faults.h"

#include "platform/Windows1252.h"

#include <QStringList>
#include <algorithm>

namespace orvia::phonesim {

bool FaultRule::matches(int count, const QByteArray &line) const
{
    if (once && fired)
        return false;
    if (nth > 0)
        return count == nth;
    return command.isEmpty() || cp1252::decode(line).startsWith(command, Qt::CaseInsensitive);
}

std::vector<ReplyPiece> shapeReply(const FaultConfig &faults, const QByteArray &prefix,
                                   const QByteArray &reply)
{
    const QByteArray all = prefix + reply;
    std::vector<ReplyPiece> out;
    const qsizetype forcedCut = faults.replyDelayMs > 0 && !reply.isEmpty() ? prefix.size() : -1;
    qsizetype pos = 0;
    size_t sizeIndex = 0;
    while (pos < all.size()) {
        qsizetype end = all.size();
        if (!faults.splitSizes.empty()) {
            const int size =
                std::max(1, faults.splitSizes[std::min(sizeIndex, faults.splitSizes.size() - 1)]);
            ++sizeIndex;
            end = std::min(end, pos + size);
        }
        if (forcedCut > pos)
            end = std::min(end, forcedCut);
        ReplyPiece piece{all.mid(pos, end - pos), 0};
        if (pos == forcedCut)
            piece.gapUs += qint64(faults.replyDelayMs) * 1000;
        if (faults.bytesPerSecond > 0)
            piece.gapUs += piece.bytes.size() * qint64(1000000) / faults.bytesPerSecond;
        out.push_back(std::move(piece));
        pos = end;
    }
    return out;
}

std::vector<int> parseSplitSizes(const QString &text)
{
    std::vector<int> sizes;
    for (const QString &part : text.split(u',')) {
        bool ok = false;
        const int v = part.trimmed().toInt(&ok);
        if (!ok || v < 1 || v > 1000000)
            return {};
        sizes.push_back(v);
    }
    return sizes;
}

} // namespace orvia::phonesim
