// Draws the panel icon set and the logo; writes them as PNG files into the
// folder given on the command line.

#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QRect>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

namespace {

// Icon inks, entry 0 transparent; the palette stays within 16 colours.
enum Ink {
    Clear,
    Outline,
    Body,
    BodyLight,
    BodyDark,
    PinLight,
    PinMid,
    PinDark,
    Rim,
    Amber,
    Yellow,
    Core,
};

const QList<QRgb> kIconPalette = {
    qRgba(0, 0, 0, 0),   qRgb(12, 26, 51),    qRgb(29, 60, 110),  qRgb(52, 96, 160),
    qRgb(19, 42, 80),    qRgb(196, 202, 210), qRgb(140, 150, 164), qRgb(70, 78, 92),
    qRgb(168, 92, 0),    qRgb(242, 150, 0),   qRgb(255, 212, 60), qRgb(255, 250, 222),
};

QColor ink(Ink i) { return QColor::fromRgba(kIconPalette[i]); }

// Filled disc centred at (cx, cy) in pixel-edge coordinates; whole pixels
// only, so the result is symmetric and stays within the palette.
void disc(QPainter& p, double cx, double cy, double d, Ink i) {
    const double r = d / 2.0;
    const double r2 = r * r + r * 0.25;
    const int y0 = static_cast<int>(std::floor(cy - r));
    const int y1 = static_cast<int>(std::ceil(cy + r));
    for (int y = y0; y < y1; ++y) {
        const double dy = y + 0.5 - cy;
        if (dy * dy > r2) continue;
        const double half = std::sqrt(r2 - dy * dy);
        const int x0 = static_cast<int>(std::ceil(cx - half - 0.5));
        const int x1 = static_cast<int>(std::floor(cx + half - 0.5));
        if (x1 >= x0) p.fillRect(QRect(x0, y, x1 - x0 + 1, 1), ink(i));
    }
}

// Filled rectangle with corners rounded by radius r, whole pixels only.
void roundRect(QPainter& p, const QRect& rc, int r, Ink i) {
    for (int y = rc.top(); y <= rc.bottom(); ++y) {
        int inset = 0;
        const int fromEdge = std::min(y - rc.top(), rc.bottom() - y);
        if (fromEdge < r) {
            const double dy = r - fromEdge - 0.5;
            inset = static_cast<int>(std::lround(r - std::sqrt(std::max(0.0, r * r - dy * dy))));
        }
        p.fillRect(QRect(rc.left() + inset, y, rc.width() - 2 * inset, 1), ink(i));
    }
}

struct IconLayout {
    int size;
    QRect body;        // chip package
    int corner;        // package corner radius
    int pinInset;      // gap between the image edge and the pin tips
    int pinThickness;
    int led;           // LED diameter
};

constexpr std::array kIconLayouts = {
    IconLayout{16, QRect(3, 1, 10, 14), 1, 0, 2, 2},
    IconLayout{24, QRect(4, 1, 16, 22), 1, 0, 2, 4},
    IconLayout{32, QRect(6, 2, 20, 28), 2, 1, 4, 6},
    IconLayout{48, QRect(9, 3, 30, 42), 3, 2, 6, 8},
    IconLayout{64, QRect(12, 4, 40, 56), 4, 2, 8, 12},
    IconLayout{128, QRect(24, 8, 80, 112), 8, 4, 16, 24},
};

// The logo carries the icon at this size.
constexpr int kLogoIconSize = 64;

void drawPins(QPainter& p, const IconLayout& l, int row) {
    const int t = l.pinThickness;
    const int y = row - t / 2;
    const QRect left(l.pinInset, y, l.body.left() - l.pinInset, t);
    const QRect right(l.body.right() + 1, y, l.size - l.pinInset - l.body.right() - 1, t);
    for (const QRect& pin : {left, right}) {
        if (t < 4) {
            p.fillRect(pin, ink(PinDark));
            p.fillRect(QRect(pin.left(), pin.top(), pin.width(), 1), ink(PinMid));
            continue;
        }
        p.fillRect(pin, ink(PinDark));
        p.fillRect(pin.adjusted(0, 1, 0, -1), ink(PinMid));
        p.fillRect(QRect(pin.left(), pin.top() + 1, pin.width(), t / 2 - 1), ink(PinLight));
    }
}

void drawPackage(QPainter& p, const IconLayout& l) {
    const QRect inner = l.body.adjusted(1, 1, -1, -1);
    roundRect(p, l.body, l.corner, Outline);
    if (l.size < 32) {
        roundRect(p, inner, std::max(0, l.corner - 1), Body);
        p.fillRect(QRect(inner.left() + 1, inner.top(), inner.width() - 2, 1), ink(BodyLight));
        return;
    }
    const int bevel = l.size >= 48 ? std::max(2, l.size / 32) : 1;
    const int r = std::max(0, l.corner - 1);
    roundRect(p, inner, r, BodyLight);
    roundRect(p, inner.adjusted(bevel, bevel, 0, 0), r, BodyDark);
    roundRect(p, inner.adjusted(bevel, bevel, -bevel, -bevel), r, Body);

    // Pin-1 notch on the top edge.
    p.save();
    p.setClipRect(inner);
    const double notch = l.size / 6.0;
    disc(p, l.size / 2.0, l.body.top() + 1, notch, Outline);
    disc(p, l.size / 2.0, l.body.top() + 1, notch - 2, BodyDark);
    p.restore();
}

void drawLed(QPainter& p, const IconLayout& l, double cx, double cy) {
    const double d = l.led;
    if (d <= 2) {
        p.fillRect(QRect(int(cx) - 1, int(cy) - 1, 2, 2), ink(Yellow));
        p.fillRect(QRect(int(cx) - 1, int(cy) - 1, 1, 1), ink(Core));
        return;
    }
    if (d >= 6) {
        disc(p, cx, cy, d, Rim);
        disc(p, cx, cy, d - 2, Amber);
    } else {
        disc(p, cx, cy, d, Amber);
    }
    // Highlights sit up-left; centres snap to the pixel grid so that the
    // small discs keep a clean shape.
    auto snap = [](double c, int dia) {
        return dia % 2 == 0 ? std::round(c) : std::floor(c) + 0.5;
    };
    const int glow = static_cast<int>(std::lround(d * 0.6));
    const int core = d >= 24 ? 5 : d >= 12 ? 3 : 2;
    disc(p, snap(cx - d / 10.0, glow), snap(cy - d / 10.0, glow), glow, Yellow);
    disc(p, snap(cx - d / 5.0, core), snap(cy - d / 5.0, core), core, Core);
}

// Icon at full palette precision; quantizing afterwards is lossless.
QImage drawIcon(const IconLayout& l) {
    QImage img(l.size, l.size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    const int s = l.size;
    for (int row : {s * 4 / 16, s * 8 / 16, s * 12 / 16}) drawPins(p, l, row);
    drawPackage(p, l);
    for (int row : {s * 4 / 16, s * 8 / 16, s * 12 / 16})
        for (int col : {s * 6 / 16, s * 10 / 16}) drawLed(p, l, col, row);
    p.end();
    return img;
}

// Median-cut palette of at most maxColours entries over ARGB values.
QList<QRgb> medianCut(const QImage& img, int maxColours) {
    std::map<QRgb, int> histogram;
    for (int y = 0; y < img.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) ++histogram[line[x]];
    }
    struct Entry {
        std::array<int, 4> c;
        int n;
    };
    std::vector<Entry> entries;
    for (const auto& [rgb, n] : histogram)
        entries.push_back({{qAlpha(rgb), qRed(rgb), qGreen(rgb), qBlue(rgb)}, n});

    struct Box {
        size_t begin, end;
    };
    std::vector<Box> boxes{{0, entries.size()}};
    auto spread = [&](const Box& b, int& axis) {
        int best = -1;
        for (int a = 0; a < 4; ++a) {
            int lo = 255, hi = 0;
            for (size_t i = b.begin; i < b.end; ++i) {
                lo = std::min(lo, entries[i].c[a]);
                hi = std::max(hi, entries[i].c[a]);
            }
            if (hi - lo > best) {
                best = hi - lo;
                axis = a;
            }
        }
        return best;
    };
    while (static_cast<int>(boxes.size()) < maxColours) {
        size_t pick = boxes.size();
        long long score = 0;
        int axis = 0;
        for (size_t k = 0; k < boxes.size(); ++k) {
            if (boxes[k].end - boxes[k].begin < 2) continue;
            int a = 0;
            long long pixels = 0;
            for (size_t i = boxes[k].begin; i < boxes[k].end; ++i) pixels += entries[i].n;
            const long long s = static_cast<long long>(spread(boxes[k], a)) * pixels;
            if (s > score) {
                score = s;
                pick = k;
                axis = a;
            }
        }
        if (pick == boxes.size()) break;
        Box& b = boxes[pick];
        std::sort(entries.begin() + b.begin, entries.begin() + b.end,
                  [axis](const Entry& x, const Entry& y) { return x.c[axis] < y.c[axis]; });
        long long total = 0;
        for (size_t i = b.begin; i < b.end; ++i) total += entries[i].n;
        long long acc = entries[b.begin].n;
        size_t mid = b.begin + 1;
        while (mid < b.end - 1 && acc * 2 < total) acc += entries[mid++].n;
        boxes.push_back({mid, b.end});
        boxes[pick].end = mid;
    }

    QList<QRgb> table;
    for (const Box& b : boxes) {
        std::array<long long, 4> sum{};
        long long n = 0;
        for (size_t i = b.begin; i < b.end; ++i) {
            for (int a = 0; a < 4; ++a) sum[a] += static_cast<long long>(entries[i].c[a]) * entries[i].n;
            n += entries[i].n;
        }
        auto avg = [&](int a) { return static_cast<int>((sum[a] + n / 2) / n); };
        table.push_back(qRgba(avg(1), avg(2), avg(3), avg(0)));
    }
    return table;
}

// Fully transparent pixels collapse to one value so they share an entry.
void normaliseClear(QImage& img) {
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(line[x]) == 0) line[x] = 0;
    }
}

QFont dejaVu(int pixelSize, bool bold) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

QImage drawLogo() {
    constexpr int W = 240, H = 84;
    QImage img(W, H, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);

    const auto layout = std::find_if(kIconLayouts.begin(), kIconLayouts.end(),
                                     [](const IconLayout& l) { return l.size == kLogoIconSize; });
    const QImage mark = drawIcon(*layout);
    p.drawImage(6, (H - mark.height()) / 2, mark);

    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    const int textLeft = 80;
    const int textWidth = W - textLeft - 4;
    const QColor navy(29, 60, 110);
    const QColor slate(72, 82, 98);
    const QColor amber(242, 150, 0);

    const QString name = QStringLiteral("ZR5130");
    QFont word;
    QRectF wb;
    for (int px = 40; px > 12; --px) {
        word = dejaVu(px, true);
        wb = QFontMetricsF(word).tightBoundingRect(name);
        if (wb.width() <= textWidth) break;
    }

    QFont sub = dejaVu(12, false);
    const QString tagline = QStringLiteral("LED Backlight Driver");
    const QFontMetricsF sm0(sub);
    const QRectF sb0 = sm0.tightBoundingRect(tagline);
    const double extra = (wb.width() - sb0.width()) / (tagline.size() - 1);
    sub.setLetterSpacing(QFont::AbsoluteSpacing, extra);
    const QFontMetricsF sm(sub);
    const QRectF sb = sm.tightBoundingRect(tagline);

    const double rule = 3, gapAbove = 6, gapBelow = 6;
    const double block = wb.height() + gapAbove + rule + gapBelow + sb.height();
    const double top = std::round((H - block) / 2);

    const double wordBase = top - wb.top();
    p.setFont(word);
    p.setPen(navy);
    p.drawText(QPointF(textLeft - wb.left(), wordBase), name);

    const double ruleTop = top + wb.height() + gapAbove;
    p.fillRect(QRectF(textLeft, std::round(ruleTop), std::round(wb.width()), rule), amber);

    const double subTop = ruleTop + rule + gapBelow;
    p.setFont(sub);
    p.setPen(slate);
    p.drawText(QPointF(textLeft - sb.left(), std::round(subTop - sb.top())), tagline);
    p.end();

    normaliseClear(img);
    return img;
}

bool save(const QImage& img, const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "artgen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen OUTPUT_DIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "artgen: cannot create %s\n", argv[1]);
        return 1;
    }

    bool ok = true;
    for (const IconLayout& l : kIconLayouts) {
        const QImage icon = drawIcon(l).convertToFormat(QImage::Format_Indexed8, kIconPalette);
        ok = save(icon, dir, QStringLiteral("icon-%1.png").arg(l.size)) && ok;
    }
    const QImage logo = drawLogo();
    ok = save(logo.convertToFormat(QImage::Format_Indexed8, medianCut(logo, 256)), dir,
              QStringLiteral("logo.png")) && ok;
    return ok ? 0 : 1;
}
