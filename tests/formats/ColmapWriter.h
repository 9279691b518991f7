// SPDX-License-Identifier: GPL-3.0-or-later
// A COLMAP sparse model written by the tests in both encodings, record by record, so that every
// byte of the format is in the test.
#pragma once

#include "tests/common/TestFiles.h"

#include <QByteArray>
#include <QDir>
#include <QString>

#include <cstdint>
#include <cstring>
#include <vector>

namespace ColmapWriter {

struct Camera {
    uint32_t id;
    QByteArray model;
    int modelId;
    uint64_t width, height;
    std::vector<double> params;
};
struct Point2D {
    double x, y;
    int64_t point; // -1: none
};
struct Image {
    uint32_t id;
    double q[4], t[3];
    uint32_t camera;
    QByteArray name;
    std::vector<Point2D> points;
};
struct Point3D {
    uint64_t id;
    double xyz[3];
    double error;
    std::vector<std::pair<uint32_t, uint32_t>> track;
};
struct Model {
    std::vector<Camera> cameras;
    std::vector<Image> images;
    std::vector<Point3D> points;
};

inline QByteArray num(double v) { return QByteArray::number(v, 'g', 17); }

inline void writeText(const Model &m, const QString &folder)
{
    QByteArray cameras = "# Camera list with one line of data per camera:\n";
    for (const Camera &c : m.cameras) {
        cameras += QByteArray::number(c.id) + ' ' + c.model + ' ' + QByteArray::number(c.width) + ' ' +
                   QByteArray::number(c.height);
        for (double p : c.params)
            cameras += ' ' + num(p);
        cameras += '\n';
    }
    QByteArray images = "# Image list with two lines of data per image:\n";
    for (const Image &i : m.images) {
        images += QByteArray::number(i.id);
        for (double v : i.q)
            images += ' ' + num(v);
        for (double v : i.t)
            images += ' ' + num(v);
        images += ' ' + QByteArray::number(i.camera) + ' ' + i.name + '\n';
        QByteArrayList points;
        for (const Point2D &p : i.points)
            points << num(p.x) + ' ' + num(p.y) + ' ' + QByteArray::number(qlonglong(p.point));
        images += points.join(' ') + '\n';
    }
    QByteArray points = "# 3D point list with one line of data per point:\n";
    for (const Point3D &p : m.points) {
        points += QByteArray::number(qulonglong(p.id)) + ' ' + num(p.xyz[0]) + ' ' + num(p.xyz[1]) + ' ' +
                  num(p.xyz[2]) + " 10 20 30 " + num(p.error);
        for (const auto &[image, index] : p.track)
            points += ' ' + QByteArray::number(image) + ' ' + QByteArray::number(index);
        points += '\n';
    }
    TestFiles::writeFile(QDir(folder).filePath("cameras.txt"), cameras);
    TestFiles::writeFile(QDir(folder).filePath("images.txt"), images);
    TestFiles::writeFile(QDir(folder).filePath("points3D.txt"), points);
}

template <typename T> void put(QByteArray *out, T value)
{
    out->append(reinterpret_cast<const char *>(&value), sizeof value);
}

inline void writeBinary(const Model &m, const QString &folder)
{
    QByteArray cameras, images, points;
    put<uint64_t>(&cameras, m.cameras.size());
    for (const Camera &c : m.cameras) {
        put<uint32_t>(&cameras, c.id);
        put<int32_t>(&cameras, c.modelId);
        put<uint64_t>(&cameras, c.width);
        put<uint64_t>(&cameras, c.height);
        for (double p : c.params)
            put<double>(&cameras, p);
    }
    put<uint64_t>(&images, m.images.size());
    for (const Image &i : m.images) {
        put<uint32_t>(&images, i.id);
        for (double v : i.q)
            put<double>(&images, v);
        for (double v : i.t)
            put<double>(&images, v);
        put<uint32_t>(&images, i.camera);
        images += i.name + '\0';
        put<uint64_t>(&images, i.points.size());
        for (const Point2D &p : i.points) {
            put<double>(&images, p.x);
            put<double>(&images, p.y);
            put<uint64_t>(&images, uint64_t(p.point));
        }
    }
    put<uint64_t>(&points, m.points.size());
    for (const Point3D &p : m.points) {
        put<uint64_t>(&points, p.id);
        for (double v : p.xyz)
            put<double>(&points, v);
        points += QByteArray("\x0a\x14\x1e", 3);
        put<double>(&points, p.error);
        put<uint64_t>(&points, p.track.size());
        for (const auto &[image, index] : p.track) {
            put<uint32_t>(&points, image);
            put<uint32_t>(&points, index);
        }
    }
    TestFiles::writeFile(QDir(folder).filePath("cameras.bin"), cameras);
    TestFiles::writeFile(QDir(folder).filePath("images.bin"), images);
    TestFiles::writeFile(QDir(folder).filePath("points3D.bin"), points);
}

} // namespace ColmapWriter
