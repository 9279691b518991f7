// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/SProjectOpener.h"

#include "formats/SColmapReader.h"
#include "formats/SReadSupport.h"
#include "formats/SSnavelyReader.h"
#include "formats/STextSource.h"
#include "framework/Mu.h"
#include "misc/SException.h"
#include "patb/SPatbReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

constexpr qsizetype kSniffBytes = 4096;
constexpr qint64 kMagicBytes = 4;

// "<cameras> <points> <observations>" on the first line.
bool looksLikeBal(const QByteArray &head)
{
    static const QRegularExpression counts(QStringLiteral("^\\s*\\d+\\s+\\d+\\s+\\d+\\s*(\\r?\\n|$)"));
    return counts.match(QString::fromLatin1(head)).hasMatch();
}

// Records the first error dialog's text and stops the read.
class QuietHandler : public SPatbHandler {
public:
    SReadErrorChoice readError(const QString &text) override
    {
        if (error.isEmpty())
            error = text;
        return SReadErrorChoice::Stop;
    }
    QString error;
};

} // namespace

// The first line COLMAP writes into each file of a text model.
static bool looksLikeColmapText(const QByteArray &head)
{
    return head.startsWith("# Camera list with one line of data per camera") ||
           head.startsWith("# Image list with two lines of data per image") ||
           head.startsWith("# 3D point list with one line of data per point");
}

SProjectOpener::FormatE SProjectOpener::detect(const QString &path, QString *location)
{
    if (location)
        *location = path;
    const QFileInfo info(path);
    bool binary = false;
    const QString folder = info.isDir() ? path : info.absolutePath();
    auto colmap = [&]() {
        if (location)
            *location = folder;
        return binary ? PF_ColmapBinary : PF_ColmapText;
    };
    if (info.isDir())
        return SColmapReader::hasModel(folder, &binary) ? colmap() : PF_Patb;
    static const QStringList kColmapFiles = {QStringLiteral("cameras"), QStringLiteral("images"),
                                             QStringLiteral("points3D")};
    // COLMAP and PAT-B files are never compressed: a compressed file can only be a BAL problem
    // or a Bundler file, and its first block need not be unpacked twice.
    QFile raw(path);
    if (raw.open(QIODevice::ReadOnly) && STextSource::sniff(raw.read(kMagicBytes)) != STextSource::CM_None)
        return PF_Snavely;
    const QByteArray head = STextSource::head(path, kSniffBytes);
    const bool colmapName = kColmapFiles.contains(info.completeBaseName()) &&
                            (info.suffix() == QLatin1String("bin") || info.suffix() == QLatin1String("txt"));
    if ((colmapName || looksLikeColmapText(head)) && SColmapReader::hasModel(folder, &binary)) {
        // A file of the model chosen by name decides the encoding: cameras.txt reads the text
        // files even where .bin files lie beside them.
        binary = colmapName && info.suffix() == QLatin1String("bin");
        return colmap();
    }
    if (head.startsWith(SSnavelyReader::kBundlerHeader) || looksLikeBal(head))
        return PF_Snavely;
    return PF_Patb;
}

QString SProjectOpener::formatName(FormatE format)
{
    switch (format) {
    case PF_Patb: return QStringLiteral("PAT-B project");
    case PF_ColmapText: return QStringLiteral("COLMAP model (text)");
    case PF_ColmapBinary: return QStringLiteral("COLMAP model (binary)");
    case PF_Snavely: return QStringLiteral("BAL / Bundler");
    }
    return {};
}

bool SProjectOpener::read(const QString &path, SProjectData &data, SPatbHandler &handler)
{
    QString location;
    switch (detect(path, &location)) {
    case PF_Snavely: return SSnavelyReader(data, handler).read(location);
    case PF_ColmapText: return SColmapReader(data, handler).read(location, SColmapReader::EN_Text);
    case PF_ColmapBinary: return SColmapReader(data, handler).read(location, SColmapReader::EN_Binary);
    case PF_Patb: break;
    }
    if (QFileInfo(path).isDir()) {
        SReadSupport::reportError(handler, Mu::tr("'%1' is a folder without a COLMAP model (cameras.txt or "
                                                  "cameras.bin) in it.")
                                               .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    return SPatbReader(data, handler).readProjectFile(path);
}

std::optional<SReportError> SProjectOpener::readWithoutDialogs(const QString &path, SProjectData &data)
{
    QuietHandler handler;
    try {
        read(path, data, handler);
    } catch (const SException &e) {
        return SReportError{e.code(), e.message()};
    }
    if (!handler.error.isEmpty())
        return SReportError{0, handler.error};
    return std::nullopt;
}
