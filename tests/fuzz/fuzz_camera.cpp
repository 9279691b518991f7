// SPDX-License-Identifier: GPL-3.0-or-later
// The camera reader, applied to one image whose camera id comes from the first input byte,
// so that matching and not matching ids are both reached.
#include "patb/SPatbReader.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString camera = FuzzSupport::scratchFile("camera.cam");
    const int cameraId = size > 0 ? data[0] : 0;
    if (size > 0) {
        ++data;
        --size;
    }
    FuzzSupport::writeFile(camera, data, size);

    SProjectData model;
    auto *image = new SImage;
    image->setId(1);
    image->setCameraId(cameraId);
    image->addImagePoint(7, true, 1.0f, 2.0f, 0.001f, 0.002f, 1.0f);
    model.mListImageData.append(image);

    FuzzSupport::StopHandler handler;
    SPatbReader reader(model, handler);
    reader.ReadPATCameraFile(camera);
    return 0;
}
