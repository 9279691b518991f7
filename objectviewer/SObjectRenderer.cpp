// SPDX-License-Identifier: GPL-3.0-or-later
#include "objectviewer/SObjectRenderer.h"

#include "objectviewer/SObjectCanvas.h"

#include <QPainter>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>

// The copy to paint goes in and the picture comes out under the job's own mutex, so that
// every hand-over between the threads is ordered by a lock the thread sanitizer sees.
struct SObjectRenderer::Job {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::atomic<bool> cancel{false};
    Frame frame;
    quint64 sequence = 0;                // of its request
    std::optional<SObjectCanvas> canvas; // made in the GUI thread, then the worker's alone
    QImage image;
};

namespace {

// Renderers live in the GUI thread; stopAll() visits them there.
std::vector<SObjectRenderer *> &renderers()
{
    static std::vector<SObjectRenderer *> all;
    return all;
}

} // namespace

SObjectRenderer::SObjectRenderer(QObject *parent) : QObject(parent) { renderers().push_back(this); }

SObjectRenderer::~SObjectRenderer()
{
    stop();
    std::erase(renderers(), this);
}

void SObjectRenderer::render(SObjectCanvas &canvas, const Frame &frame)
{
    for (const std::shared_ptr<Job> &job : mJobs)
        job->cancel = true;
    std::erase_if(mJobs, [](const std::shared_ptr<Job> &job) {
        const std::lock_guard lock(job->mutex);
        return job->done;
    });
    auto job = std::make_shared<Job>();
    {
        const std::lock_guard lock(job->mutex);
        job->frame = frame;
        job->sequence = ++mRequests;
        job->canvas.emplace(canvas.frozenCopy(&job->cancel));
    }
    mRequested = frame;
    mPending = job;
    mJobs.push_back(job);
    QThreadPool::globalInstance()->start([job, this] { run(job, this); });
}

void SObjectRenderer::run(const std::shared_ptr<Job> &job, SObjectRenderer *renderer)
{
    {
        const std::lock_guard lock(job->mutex); // orders the copy's making before its use
    }
    if (!job->cancel) {
        const Frame &frame = job->frame;
        QImage image((QSizeF(frame.area.size()) * frame.devicePixelRatio).toSize(),
                     QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(frame.devicePixelRatio);
        {
            QPainter painter(&image);
            painter.translate(-frame.area.topLeft());
            job->canvas->paintCanvas(painter, frame.area);
        }
        if (!job->cancel) {
            const std::lock_guard lock(job->mutex);
            job->image = std::move(image);
            // The renderer waits for this job before it goes, so it is still there.
            QMetaObject::invokeMethod(
                renderer, [renderer, job] { renderer->deliver(job); }, Qt::QueuedConnection);
        }
    }
    job->canvas.reset(); // its caches belong to this thread
    {
        const std::lock_guard lock(job->mutex);
        job->done = true;
    }
    job->finished.notify_all();
}

void SObjectRenderer::deliver(const std::shared_ptr<Job> &job)
{
    if (job->sequence <= mDelivered)
        return; // a newer picture came first
    mDelivered = job->sequence;
    if (job == mPending)
        mPending.reset();
    QImage image;
    {
        const std::lock_guard lock(job->mutex);
        image = std::move(job->image);
    }
    emit sigRendered(image, job->frame);
}

void SObjectRenderer::stop()
{
    for (const std::shared_ptr<Job> &job : mJobs)
        job->cancel = true;
    for (const std::shared_ptr<Job> &job : mJobs) {
        std::unique_lock lock(job->mutex);
        job->finished.wait(lock, [&job] { return job->done; });
    }
    mJobs.clear();
    mPending.reset();
}

void SObjectRenderer::stopAll()
{
    for (SObjectRenderer *renderer : renderers())
        renderer->stop();
}
