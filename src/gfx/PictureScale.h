#pragma once
// Every picture is made twice: for the picture's own 1024 x 768 and for twice that, so that a
// window on a HiDPI desktop shows its pictures at the window's own resolution instead of
// magnified. The 2x file of a picture lies beside its 1x file under a name made here, for the
// game that loads it and the art tool that writes it alike. No GL: the art tools read it.

#include <string>

// The scales the pictures are made at, in file pixels to a pixel of the 1024 x 768 picture.
constexpr int kNormalPictures = 1;
constexpr int kDoublePictures = 2;

// A window at least this many times the picture's size shows the 2x pictures: shrunk to it they
// are sharper than the 1x ones magnified half as much again.
constexpr double kDoublePicturesFrom = 1.5;

// The scale of the pictures that a window showing the picture windowScale times its size loads.
constexpr int pictureScaleFor(double windowScale) {
    return windowScale >= kDoublePicturesFrom ? kDoublePictures : kNormalPictures;
}

// The file of a picture at a scale: at 1x the path itself, else the path with "@<scale>x" before
// its extension ("./images/titlescreen.png" at 2x: "./images/titlescreen@2x.png").
inline std::string scaledPicturePath(const std::string& path, int scale) {
    if (scale == kNormalPictures) {
        return path;
    }
    const std::string::size_type dot = path.rfind('.');
    const std::string::size_type slash = path.rfind('/');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string::size_type at = hasExtension ? dot : path.size();
    return path.substr(0, at) + "@" + std::to_string(scale) + "x" + path.substr(at);
}
