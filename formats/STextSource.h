// SPDX-License-Identifier: GPL-3.0-or-later
// The bytes of a text file that may be compressed with bzip2 or gzip, recognised from its first
// bytes rather than its name, read sequentially through one buffer. Lines are handed out one at
// a time with their number, so that readers can name the line of every problem.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>
#include <string_view>

class STextSource {
public:
    enum CompressionE { CM_None, CM_Bzip2, CM_Gzip };

    explicit STextSource(const QString &file);
    ~STextSource();
    STextSource(const STextSource &) = delete;
    STextSource &operator=(const STextSource &) = delete;

    // False with error() when the file cannot be opened or its compression not started.
    bool open();
    // The next line without its line end; false at the end of the text or on an error (a damaged
    // stream, a line longer than kMaxLineBytes): then error() is not empty. Valid until the next call.
    bool nextLine(std::string_view *line);
    // Number of the line last returned, from 1.
    qint64 lineNumber() const { return mLineNumber; }
    QString error() const { return mError; }
    CompressionE compression() const { return mCompression; }
    // Bytes of the file consumed so far and its size: the progress of a read.
    qint64 filePosition() const { return mFilePosition; }
    qint64 fileSize() const { return mFile.size(); }
    const QString &name() const { return mName; }

    // Compression by the first bytes of a file.
    static CompressionE sniff(const QByteArray &head);
    // The first bytes of the text of a file, decompressed; empty when it cannot be read.
    static QByteArray head(const QString &file, qsizetype bytes);

    // A line longer than this is no line of any format read here.
    static constexpr qsizetype kMaxLineBytes = 256 * 1024 * 1024;

    class Decoder; // one per compression

private:
    // Appends decompressed bytes to mText; false at the end of the text or on an error.
    bool fill();

    QString mName;
    QFile mFile;
    CompressionE mCompression = CM_None;
    std::unique_ptr<Decoder> mDecoder;
    QByteArray mText; // decoded bytes not yet handed out start at mPos
    qsizetype mPos = 0;
    qint64 mFilePosition = 0;
    qint64 mLineNumber = 0;
    bool mAtEnd = false;
    QString mError;
};
