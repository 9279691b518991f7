// SPDX-License-Identifier: GPL-3.0-or-later
// Readers of PAT-B's ini files, the project file and the binary result files (i), (e),
// (o), (c) and the camera file, filling an SProjectData. Widget-free: dialogs and requests
// go to an SPatbHandler. SException (inconsistent files) is left to the caller; what was
// read before the failing record stays in the model.
#pragma once

#include "patb/SObjectFileRead.h"
#include "patb/SPatbHandler.h"
#include "patb/SProjectData.h"

#include <QString>

#include <algorithm>
#include <memory>
#include <span>
#include <thread>
#include <vector>

class QFile;
class SImageFileRange;
class SImageRecordCursor;
class SRecordFile;

class SPatbReader {
public:
    SPatbReader(SProjectData &data, SPatbHandler &handler);

    // Value of key in section of Pat.ini (in the directory named by "windir"), or empty.
    QString readPATini(const QString &section, const QString &key);
    // Value of key in section of any file of Pat.ini's layout, or empty; Mu::fatal when the
    // file cannot be opened.
    QString readPATpro(const QString &file, const QString &section, const QString &key);
    // Finds the project file of PAT-B's current project; empty when there is none to open.
    QString findCurrentPATProject(bool openCurrentProject);

    // Reads the project file and every file it names. Returns false when the read stopped
    // early (error dialog answered, cancelled).
    bool readProjectFile(const QString &projectFile);
    bool ReadImageFiles(const QString &imageFile, const QString &orientationFile);
    bool ReadObjectFiles(const QString &objectFile, const QString &observationFile);
    bool ReadPATCameraFile(const QString &cameraFile);

    // Progress is reported every this many bytes of a result file; the default of 8 MiB makes
    // a dialog cost nothing measurable.
    void setProgressBytes(qint64 bytes) { mProgressBytes = std::max<qint64>(bytes, 1); }

    // Whether (o) and the later part of a large (i) are read on worker threads beside the
    // reading thread; by default with two cores or more (on two, E opens in 40-49 ms instead
    // of 60).
    void setWorkerThreads(bool on) { mWorkerThreads = on; }
    // With worker threads, an (i) file of at least this many bytes is read in two parts.
    void setSplitFrom(qint64 bytes) { mSplitFrom = bytes; }

    // True once an error dialog or a cancellation stopped the read.
    bool stopped() const { return mStopped; }

private:
    QString searchIniKey(QFile &file, const QString &section, const QString &key);
    // Shows the error dialog and carries out the answer; discardImages first drops the
    // images read so far when the user opens another project.
    void readError(const QString &text, bool discardImages);
    void discardImages();
    bool reportProgress(const QString &file, qint64 done, qint64 total);
    // Where a read of (i) stands between two records.
    struct ImageReadState {
        std::unique_ptr<SImage> unfinished; // from its header until its trailer
        SImage *current = nullptr;          // stays current after its trailer until the next header
        bool warnedOrphans = false;
        qint64 nextProgress = 0;
    };
    std::unique_ptr<SImageFileRange> startLaterImages(const QString &imageFile, qint64 size);
    bool fillImages(SImageRecordCursor &records, const QString &imageFile, qint64 total, SRecordFile &orientations,
                    ImageReadState &state);
    bool takeLaterImages(SImageFileRange &later, const QString &imageFile, qint64 total, SRecordFile &orientations,
                         ImageReadState &state);
    void closeImage(SImage &image, SRecordFile &orientations);
    // What the (o) worker prepares for the merge once it has read the file: the table of the
    // points' codes (when the data gives them while reading) and the points of the ids of
    // (c)'s first batch, in its own list.
    struct ObjectsPrepared {
        std::shared_ptr<const SPointCodeTable> codes;
        std::vector<int> ids;
        std::vector<SObjectPoint *> found;
    };
    void prepareMerge(SObjectPointList &points, const QString &observationFile, ObjectsPrepared &prepared) const;
    bool mergeObjectFiles(SObjectFileRead &objects, const QString &observationFile,
                          const ObjectsPrepared *prepared = nullptr);
    // The first point of the list with each id, as find() gives it; with the points found by
    // the worker after the first `before` points, when they kept their addresses.
    void findObservedPoints(std::span<const int> ids, std::span<SObjectPoint *> points, const ObjectsPrepared *prepared,
                            int before);
    void applyStatistics(const SObjectFileRead::Statistics &statistics);

    SProjectData &mData;
    SPatbHandler &mHandler;
    bool mStopped = false;
    qint64 mProgressBytes = 8 * 1024 * 1024;
    bool mWorkerThreads = std::thread::hardware_concurrency() >= 2;
    qint64 mSplitFrom = 8 * 1024 * 1024;
    qint64 mObjectBytesAhead = 0;             // of the (o) file a worker reads beside (i)
    SObjectFileRead *mObjectsAhead = nullptr; // read on a worker while the images are read
};
