// SPDX-License-Identifier: GPL-3.0-or-later
// The "Info View" tab: identification of the current image and its projection centre.
#pragma once

#include <QWidget>

#include <array>

class QLabel;
class SImage;

class SImageInfoView : public QWidget {
    Q_OBJECT

public:
    explicit SImageInfoView(QWidget *parent = nullptr);
    ~SImageInfoView() override;

    // Refills the form from the image; null leaves it unchanged. Never owns the image.
    void setImage(const SImage *image);

    // For tests and the viewer: the value labels.
    QString imageIdText() const;
    QString cameraIdText() const;
    QString coordCountText() const;
    QString centreText(int axis) const;
    QString centreSigmaText(int axis) const;

private:
    static QLabel *makeValueLabel(QWidget *parent);
    static void setFixedText(QLabel *label, const QString &text);

    QLabel *mImageId;
    QLabel *mCameraId;
    QLabel *mCoordCount;
    std::array<QLabel *, 3> mCentre{};
    std::array<QLabel *, 3> mCentreSigma{};
};
