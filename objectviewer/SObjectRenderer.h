// SPDX-License-Identifier: GPL-3.0-or-later
// Paints an object canvas on a worker thread, so that a heavy picture (hundreds of thousands
// of points with their labels, vectors and connections) never blocks the window: each request
// paints a frozen copy of the canvas into an image, a newer request cancels the older ones, and
// only the newest finished picture is handed back, in the renderer's thread.
#pragma once

#include <QImage>
#include <QObject>
#include <QRect>

#include <memory>
#include <vector>

class SObjectCanvas;

class SObjectRenderer : public QObject {
    Q_OBJECT

public:
    // What a picture shows: a canvas rectangle at a zoom and device pixel ratio, for one
    // state of the canvas (a generation that the caller counts).
    struct Frame {
        QRect area;
        qreal devicePixelRatio = 1.0;
        int zoomPercent = 0;
        quint64 generation = 0;
        bool operator==(const Frame &) const = default;
    };

    explicit SObjectRenderer(QObject *parent = nullptr);
    // Cancels the paints still running and waits for them.
    ~SObjectRenderer() override;

    // Starts painting frame.area of canvas (through its frozen copy) into an image; the
    // paints of earlier requests are cancelled.
    void render(SObjectCanvas &canvas, const Frame &frame);
    // The newest request, and whether its picture is still to come.
    const Frame &requested() const { return mRequested; }
    bool isRendering() const { return mPending != nullptr; }
    // Cancels every paint of this renderer and waits until none runs.
    void stop();
    // stop() for every renderer: before the model that the canvases read changes.
    static void stopAll();

signals:
    // A finished picture, newer than those before it; older requests than the newest may
    // finish before their cancel takes effect, so compare the frame.
    void sigRendered(const QImage &image, const SObjectRenderer::Frame &frame);

private:
    struct Job;
    static void run(const std::shared_ptr<Job> &job, SObjectRenderer *renderer);
    void deliver(const std::shared_ptr<Job> &job);

    Frame mRequested;
    quint64 mRequests = 0;                   // numbers the requests
    quint64 mDelivered = 0;                  // the newest request whose picture went out
    std::shared_ptr<Job> mPending;           // of the newest request, until delivered
    std::vector<std::shared_ptr<Job>> mJobs; // started, perhaps not yet finished
};
