// SPDX-License-Identifier: GPL-3.0-or-later
// Shared plumbing of the fuzz targets: a private scratch folder, writing the input into the
// files the readers open, splitting one input into two files, and a handler that never waits
// for a user.
#pragma once

#include "framework/Mu.h"
#include "patb/SPatbHandler.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace FuzzSupport {

// A two-file input starts with the length of the first file as four little-endian bytes.
constexpr size_t kLengthPrefixBytes = 4;

class StopHandler : public SPatbHandler {
public:
    SReadErrorChoice readError(const QString &) override { return SReadErrorChoice::Stop; }
};

// One folder per process, made once; messages are dropped so that a run costs no printing.
inline const QString &scratchDir()
{
    static const QString dir = [] {
        Mu::setSink([](Mu::Level, const QString &) {});
        // Memory-backed where there is such a folder: every run writes its input.
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        std::string pattern = base.toStdString() + "/varlomin-fuzz-XXXXXX";
        const char *made = mkdtemp(pattern.data());
        if (!made)
            std::abort();
        std::atexit([] { QDir(scratchDir()).removeRecursively(); });
        return QString::fromLocal8Bit(made);
    }();
    return dir;
}

inline QString scratchFile(const char *name) { return scratchDir() + QLatin1Char('/') + QLatin1String(name); }

inline void writeFile(const QString &path, const uint8_t *data, size_t size)
{
    FILE *f = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!f)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size)
        std::abort();
    std::fclose(f);
}

struct Pair {
    const uint8_t *first;
    size_t firstSize;
    const uint8_t *second;
    size_t secondSize;
};

inline Pair split(const uint8_t *data, size_t size)
{
    if (size < kLengthPrefixBytes)
        return {data, 0, data, 0};
    uint32_t length = 0;
    for (size_t i = 0; i < kLengthPrefixBytes; ++i)
        length |= uint32_t(data[i]) << (8 * i);
    const size_t rest = size - kLengthPrefixBytes;
    const size_t firstSize = length % (rest + 1);
    const uint8_t *body = data + kLengthPrefixBytes;
    return {body, firstSize, body + firstSize, rest - firstSize};
}

inline QByteArray joinPair(const QByteArray &first, const QByteArray &second)
{
    QByteArray out(int(kLengthPrefixBytes), '\0');
    const uint32_t length = uint32_t(first.size());
    for (size_t i = 0; i < kLengthPrefixBytes; ++i)
        out[int(i)] = char((length >> (8 * i)) & 0xff);
    return out + first + second;
}

} // namespace FuzzSupport
