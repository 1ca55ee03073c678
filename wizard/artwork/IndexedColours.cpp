#include "IndexedColours.h"

#include <QVector>

#include <algorithm>
#include <vector>

namespace artwork {

QImage ToIndexed(const QImage &source)
{
    const QImage argb = source.convertToFormat(QImage::Format_ARGB32);
    const int w = argb.width();
    const int h = argb.height();

    struct Box {
        std::vector<QRgb> pixels;
    };
    auto channel = [](QRgb px, int c) {
        switch (c) {
        case 0: return qRed(px);
        case 1: return qGreen(px);
        case 2: return qBlue(px);
        default: return qAlpha(px);
        }
    };
    auto widest = [&](const Box &box, int *which) {
        int best = -1;
        for (int c = 0; c < 4; ++c) {
            int lo = 255;
            int hi = 0;
            for (QRgb px : box.pixels) {
                lo = std::min(lo, channel(px, c));
                hi = std::max(hi, channel(px, c));
            }
            if (hi - lo > best) {
                best = hi - lo;
                *which = c;
            }
        }
        return best;
    };

    // Index 0 is kept for fully transparent pixels.
    std::vector<Box> boxes(1);
    for (int y = 0; y < h; ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < w; ++x)
            if (qAlpha(row[x]) != 0)
                boxes[0].pixels.push_back(row[x]);
    }
    while (boxes.size() < 255) {
        int chosen = -1;
        int chosenChannel = 0;
        long long chosenScore = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].pixels.size() < 2)
                continue;
            int c = 0;
            const long long score = static_cast<long long>(widest(boxes[i], &c)) *
                                    static_cast<long long>(boxes[i].pixels.size());
            if (score > chosenScore) {
                chosenScore = score;
                chosen = static_cast<int>(i);
                chosenChannel = c;
            }
        }
        if (chosen < 0)
            break;
        std::vector<QRgb> &pixels = boxes[static_cast<size_t>(chosen)].pixels;
        std::sort(pixels.begin(), pixels.end(), [&](QRgb a, QRgb b) {
            const int ca = channel(a, chosenChannel);
            const int cb = channel(b, chosenChannel);
            return ca != cb ? ca < cb : a < b;
        });
        Box upper;
        upper.pixels.assign(pixels.begin() + static_cast<long>(pixels.size() / 2), pixels.end());
        pixels.resize(pixels.size() / 2);
        boxes.push_back(std::move(upper));
    }

    QVector<QRgb> table;
    table.push_back(qRgba(0, 0, 0, 0));
    for (const Box &box : boxes) {
        if (box.pixels.empty())
            continue;
        long long sum[4] = {0, 0, 0, 0};
        for (QRgb px : box.pixels)
            for (int c = 0; c < 4; ++c)
                sum[c] += channel(px, c);
        const long long n = static_cast<long long>(box.pixels.size());
        table.push_back(
            qRgba(static_cast<int>((sum[0] + n / 2) / n), static_cast<int>((sum[1] + n / 2) / n),
                  static_cast<int>((sum[2] + n / 2) / n), static_cast<int>((sum[3] + n / 2) / n)));
    }

    QImage indexed(w, h, QImage::Format_Indexed8);
    indexed.setColorTable(table);
    for (int y = 0; y < h; ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        uchar *out = indexed.scanLine(y);
        for (int x = 0; x < w; ++x) {
            if (qAlpha(row[x]) == 0) {
                out[x] = 0;
                continue;
            }
            int best = 1;
            long long bestDistance = -1;
            for (int i = 1; i < table.size(); ++i) {
                long long d = 0;
                for (int c = 0; c < 4; ++c) {
                    const int delta = channel(row[x], c) - channel(table[i], c);
                    d += static_cast<long long>(delta) * delta;
                }
                if (bestDistance < 0 || d < bestDistance) {
                    bestDistance = d;
                    best = i;
                }
            }
            out[x] = static_cast<uchar>(best);
        }
    }
    return indexed;
}

} // namespace artwork
