// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas painted in bands of rows on several threads, for a whole picture at once.
#include "objectviewer/SObjectCanvas.h"

#include "misc/SImageData.h"
#include "misc/SObjectPoint.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// A band's thread costs about a copy of the canvas and one more pass over the list: below
// these it costs more than it saves.
constexpr int kMinBandPoints = 20000;
constexpr int kMinBandRows = 64;

// Band `band` of `bands` over the rows of rect, the first rows going to the first band.
QRect bandOf(const QRect &rect, int band, int bands)
{
    const auto rowAt = [&](int b) { return rect.top() + int(qint64(rect.height()) * b / bands); };
    return QRect(rect.left(), rowAt(band), rect.width(), rowAt(band + 1) - rowAt(band));
}

} // namespace

int SObjectCanvas::bandCountFor(const QRect &rect) const
{
    if (!isReady() || mList->count() < kMinBandPoints)
        return 1;
    const int cores = std::max(1, int(std::thread::hardware_concurrency()));
    return std::clamp(rect.height() / kMinBandRows, 1, std::min(cores, kMaxBands));
}

void SObjectCanvas::reserveBandWork(const QRect &rect)
{
    const int reach = largestHalfExtent();
    const QRect near = rect.adjusted(-reach, -reach, reach, reach);
    mWork.pixelFootprint.reserve(size_t(near.width()) * size_t(near.height()));
    mWork.uncovered.reserve((size_t(mList->count()) + 63) / 64);
}

void SObjectCanvas::paintInBands(QImage &image, const QRect &rect, int bands)
{
    if (mDensityOn || mRubberBand.isValid() || !isReady())
        bands = 1; // their tiles and the band are drawn over the rectangle as a whole
    bands = std::clamp(bands, 1, std::max(1, rect.height()));
    if (bands == 1) {
        QPainter painter(&image);
        painter.translate(-rect.topLeft());
        paintCanvas(painter, rect);
        return;
    }
    // Link counts and connections read the point index, which the first look-up builds: built
    // here, before the threads share it.
    if (mLinkCountOn || mConnectionsOn)
        SImage::imagesOfPoint(mList->at(0)->id());
    uchar *const bits = image.bits(); // detached here, before the painters share it
    std::vector<std::optional<SObjectCanvas>> copies(static_cast<size_t>(bands));
    for (int b = 1; b < bands; ++b) {
        SObjectCanvas &copy = copies[size_t(b)].emplace(frozenCopy(nullptr));
        copy.reserveBandWork(bandOf(rect, b, bands));
    }
    // Every painter paints the whole image and differs only in its clip: lines and outlines
    // that cross a band's edge then get the pixels one painter gives them, which a band's own
    // smaller image would not (the rasteriser clips lines at the device's edges).
    const auto paintBand = [&](SObjectCanvas &canvas, int band) {
        QImage whole(bits, image.width(), image.height(), image.bytesPerLine(), image.format());
        QPainter painter(&whole);
        painter.translate(-rect.topLeft());
        canvas.paintCanvas(painter, bandOf(rect, band, bands));
    };
    const auto paintCopy = [&](int band) {
        paintBand(*copies[size_t(band)], band);
        copies[size_t(band)].reset(); // its caches belong to this thread
    };
    std::vector<std::thread> threads;
    for (int b = 1; b < bands; ++b) {
        try {
            threads.emplace_back(paintCopy, b);
        } catch (const std::system_error &) {
            paintCopy(b); // no thread to be had: painted here
        }
    }
    paintBand(*this, 0);
    for (std::thread &thread : threads)
        thread.join();
}
