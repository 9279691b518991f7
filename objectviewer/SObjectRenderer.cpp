// SPDX-License-Identifier: GPL-3.0-or-later
#include "objectviewer/SObjectRenderer.h"

#include "objectviewer/SObjectCanvas.h"

#include <QPainter>

#include <algorithm>
#include <atomic>
#include <optional>
#include <vector>

struct SObjectRenderer::Job {
    Frame frame;
    std::atomic<bool> cancel{false};
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

SObjectRenderer::SObjectRenderer(QObject *parent) : QObject(parent), mThread([this] { work(); })
{
    renderers().push_back(this);
}

SObjectRenderer::~SObjectRenderer()
{
    std::erase(renderers(), this);
    {
        const std::lock_guard lock(mMutex);
        mQuit = true;
        if (mRunning)
            mRunning->cancel = true;
    }
    mWake.notify_all();
    mThread.join();
}

void SObjectRenderer::render(SObjectCanvas &canvas, const Frame &frame)
{
    auto job = std::make_shared<Job>();
    job->frame = frame;
    job->canvas.emplace(canvas.frozenCopy(&job->cancel));
    {
        const std::lock_guard lock(mMutex);
        if (mRunning)
            mRunning->cancel = true;
        mNext = std::move(job); // a job still waiting is dropped unstarted
    }
    mWake.notify_one();
    mRequested = frame;
    mRendering = true;
}

void SObjectRenderer::work()
{
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock lock(mMutex);
            mWake.wait(lock, [this] { return mQuit || mNext; });
            if (mQuit)
                return;
            job = std::move(mNext);
            mRunning = job;
        }
        const Frame &frame = job->frame;
        QImage image((QSizeF(frame.area.size()) * frame.devicePixelRatio).toSize(),
                     QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(frame.devicePixelRatio);
        if (!job->cancel) {
            QPainter painter(&image);
            painter.translate(-frame.area.topLeft());
            job->canvas->paintCanvas(painter, frame.area);
        }
        job->canvas.reset(); // its caches belong to this thread
        bool finished = false;
        {
            const std::lock_guard lock(mMutex);
            mRunning.reset();
            if (!job->cancel) {
                job->image = std::move(image);
                mFinished = std::move(job);
                finished = true;
            }
        }
        mIdle.notify_all();
        // The destructor joins this thread first, so the renderer is still there.
        if (finished)
            QMetaObject::invokeMethod(this, "deliverFinished", Qt::QueuedConnection);
    }
}

void SObjectRenderer::deliverFinished()
{
    std::shared_ptr<Job> job;
    {
        const std::lock_guard lock(mMutex);
        job = std::move(mFinished);
    }
    if (!job)
        return; // stopped, or delivered with an earlier call
    if (job->frame == mRequested)
        mRendering = false;
    emit sigRendered(job->image, job->frame);
}

bool SObjectRenderer::hasFinishedPicture()
{
    const std::lock_guard lock(mMutex);
    return mFinished != nullptr;
}

void SObjectRenderer::stop()
{
    {
        std::unique_lock lock(mMutex);
        mNext.reset();
        if (mRunning)
            mRunning->cancel = true;
        mIdle.wait(lock, [this] { return !mRunning; });
        mFinished.reset();
    }
    mRendering = false;
}

void SObjectRenderer::stopAll()
{
    for (SObjectRenderer *renderer : renderers())
        renderer->stop();
}
