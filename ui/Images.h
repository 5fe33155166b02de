#pragma once
// The program's pictures. They are drawn in code at the size and pixel density asked for, so that
// they stay sharp at every scale; the numbers are the ones the screens name them by.
#include <QPixmap>
#include <QSize>

namespace orvale::ui {

enum ImageId : int {
    kImageHeader = 130,
    kImageCountsCard = 140,
    kImageLogo = 150,
    kImageNext = 160,
    kImageInfo = 161,
    kImageSync = 170,
    kImageSyncPressed = 171,
    kImagePicker = 173,         // a picker's face
    kImagePickerPressed = 182,  // the same, pressed
};

// Empty for an unknown id.
QPixmap programImage(int id, QSize logicalSize, qreal devicePixelRatio);

}  // namespace orvale::ui
