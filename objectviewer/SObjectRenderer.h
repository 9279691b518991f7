// SPDX-License-Identifier: GPL-3.0-or-later
// Paints an object canvas on a worker thread of its own, so that a heavy picture (hundreds of
// thousands of points with their labels, vectors and connections) never blocks the window:
// each request paints a frozen copy of the canvas into an image, a newer request cancels the
// one being painted and replaces the one waiting, and finished pictures come back in the
// renderer's thread. The hand-over goes through standard mutexes, which the thread sanitizer
// sees (it cannot see into Qt's own thread pool).
#pragma once

#include <QImage>
#include <QObject>
#include <QRect>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

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
    // Cancels the paint and ends the worker thread.
    ~SObjectRenderer() override;

    // Starts painting frame.area of canvas (through its frozen copy) into an image.
    void render(SObjectCanvas &canvas, const Frame &frame);
    // The newest request, and whether its picture is still to come.
    const Frame &requested() const { return mRequested; }
    bool isRendering() const { return mRendering; }
    // Whether a finished picture waits for its delivery (the next turn of the event loop).
    bool hasFinishedPicture();
    // Cancels the paints of this renderer and waits until none runs.
    void stop();
    // stop() for every renderer: before the model that the canvases read changes.
    static void stopAll();

signals:
    // A finished picture; a paint may finish before the cancel of a newer request reaches it,
    // so compare the frame.
    void sigRendered(const QImage &image, const SObjectRenderer::Frame &frame);

private:
    struct Job;
    void work();
    Q_INVOKABLE void deliverFinished();

    // Of the GUI thread.
    Frame mRequested;
    bool mRendering = false;

    // Shared with the worker, under mMutex.
    std::mutex mMutex;
    std::condition_variable mWake;  // a job waits, or the worker is to quit
    std::condition_variable mIdle;  // the worker finished a job
    std::shared_ptr<Job> mNext;     // waiting to start
    std::shared_ptr<Job> mRunning;  // being painted
    std::shared_ptr<Job> mFinished; // the newest finished picture, not yet delivered
    bool mQuit = false;
    std::thread mThread;
};
