// SPDX-License-Identifier: GPL-3.0-or-later
// The zlib stream of a PNG picture's filtered rows, as libpng makes it: zlib's default level and
// memory, its window fitted to small pictures, the header rewritten to name that window. The
// checksum is the caller's (it may be summed on another thread while this one compresses).
#pragma once

#include <QtGlobal>
#include <vector>
#include <zlib.h>

namespace Mx {

class PngDeflater {
public:
    // `dataSize` is every filtered row's bytes together; `filtered` whether rows may use other
    // filters than None (libpng then asks zlib for its filtered-data strategy).
    PngDeflater(quint64 dataSize, bool filtered);
    ~PngDeflater();
    PngDeflater(const PngDeflater &) = delete;
    PngDeflater &operator=(const PngDeflater &) = delete;

    bool ok() const { return mOk; }

    // Compresses the next `size` bytes of filtered rows.
    void add(const uchar *data, qsizetype size);

    // Ends the stream with the Adler-32 checksum of all the bytes added; returns the whole stream.
    const std::vector<uchar> &finish(uLong adler);

private:
    void run(int flush);

    quint64 mDataSize;
    z_stream mZs{};
    std::vector<uchar> mStream;
    bool mOk = false;
};

} // namespace Mx
