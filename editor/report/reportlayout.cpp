#include "editor/report/reportlayout.h"

#include <QFont>
#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace editor {

namespace {

constexpr int kGapTwips = 227;      // 4 mm between a caption and its value
constexpr int kReserveTwips = 170;  // 3 mm kept free at the right margin
constexpr double kReaderSlack = 1.03;  // other readers set a text up to a few per cent wider
constexpr double kMm = 1440 / 25.4;

int upToMm(double twips) { return static_cast<int>(std::ceil(std::ceil(twips / kMm) * kMm)); }

// shift: a short caption whose value would overrun the margin at the column moves its
// value left, next to it.
ColumnFit place(const std::vector<ColumnLine>& lines, const QString& family, double size, int width, bool shift)
{
    ColumnFit fit;
    fit.size = size;
    std::vector<double> caption(lines.size()), value(lines.size());
    double widest = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        caption[i] = textWidthTwips(lines[i].caption, family, size) * kReaderSlack;
        value[i] = textWidthTwips(lines[i].value, family, size) * kReaderSlack;
        if (lines[i].hasTab)
            widest = std::max(widest, caption[i]);
    }
    fit.columnTwips = upToMm(std::min(widest + kGapTwips, width / 2.0));
    const int lastTab = width - kTwipsPerCm;  // a tab leaves room for a value
    for (std::size_t i = 0; i < lines.size(); ++i) {
        int tab = fit.columnTwips;
        bool fits = caption[i] <= width;
        if (lines[i].hasTab) {
            const int own = std::min(upToMm(caption[i] + kGapTwips), lastTab);
            if (own > tab || (shift && tab + value[i] + kReserveTwips > width))
                tab = own;
            fits = caption[i] + kGapTwips <= tab && tab + value[i] + kReserveTwips <= width;
        }
        fit.tabs.push_back(tab);
        fit.fits.push_back(fits);
    }
    return fit;
}

} // namespace

ReportPaper reportPaper(const QLocale& locale)
{
    ReportPaper p;
    if (locale.measurementSystem() == QLocale::ImperialUSSystem) {
        p.widthTwips = kLetterWidthTwips;
        p.heightTwips = kLetterHeightTwips;
    }
    return p;
}

double textWidthTwips(const QString& text, const QString& family, double pointSize, bool bold)
{
    // Measured on a large unhinted face, so the width scales with the size as on paper.
    constexpr int kPixels = 1000;
    QFont f(family);
    f.setPixelSize(kPixels);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    const QFontMetricsF fm(f);
    return fm.horizontalAdvance(text) / kPixels * pointSize * 20;
}

ColumnFit fitColumns(const std::vector<ColumnLine>& lines, const QString& family, double size, double minSize,
                     int widthTwips)
{
    // Aligned values at the largest size that holds them, else values moved next to their
    // captions where needed.
    ColumnFit fit;
    for (const bool shift : {false, true})
        for (double s = size; s > minSize - 1e-9; s -= 0.5) {
            fit = place(lines, family, s, widthTwips, shift);
            if (std::all_of(fit.fits.begin(), fit.fits.end(), [](bool b) { return b; }))
                return fit;
        }
    return fit;
}

} // namespace editor
