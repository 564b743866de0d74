#include "app/View.h"

#include "board/BoardPlane.h"
#include "gfx/GlScope.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

namespace {

// The picture's shape, and a frustum from just in front of the camera to well behind the board
// plane, which sits half the plane's height (37.5 units) away.
constexpr double kAspect =
    static_cast<double>(BoardPlane::kPictureWidth) / BoardPlane::kPictureHeight;
constexpr double kNearPlane = 0.001;
constexpr double kFarPlane = 200.0;
constexpr double kRadiansPerDegree = 0.017453292519943295;

} // namespace

View* View::instance() {
    static View* view = new View();
    return view;
}

double View::scaleOf(int windowWidth, int windowHeight) {
    return std::min(static_cast<double>(windowWidth) / kWidth,
                    static_cast<double>(windowHeight) / kHeight);
}

void View::setWindowSize(int width, int height) {
    windowWidth_ = width;
    windowHeight_ = height;
}

void View::reshape(int w, int h) {
    if (w != windowWidth_ || h != windowHeight_) {
        // The toolkit answers with another reshape at the restored size. A window manager may keep
        // the other size (a tiling layout, fullscreen): until it gives way the picture is scaled
        // to fit, so what the player sees and where the pointer lands still agree.
        glutReshapeWindow(windowWidth_, windowHeight_);
        if (w <= 0 || h <= 0) {
            return;
        }
    }
    width_ = kWidth;
    height_ = kHeight;
    picture_ = fitShape(PixelRect{0, 0, w, h}, kWidth, kHeight);
    fillsWindow_ = picture_.width == w && picture_.height == h;
    // GL counts viewport rows from the bottom of the window.
    viewport_ = picture_;
    viewport_.y = h - picture_.y - picture_.height;
    setCamera();
    clear();
}

void View::setCamera() {
    glViewport(viewport_.x, viewport_.y, viewport_.width, viewport_.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView_, kAspect, kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
    applyTransform();
}

void View::applyTransform() {
    glLoadIdentity();
    glTranslatef(static_cast<float>(offsetX_), static_cast<float>(offsetY_),
                 static_cast<float>(offsetZ_));
}

void View::update(float /*dt*/) {}

void View::clear() const {
    if (fillsWindow_) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return;
    }
    {
        AttribScope clearColour(GL_COLOR_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    // Only the picture takes the standing clear colour.
    AttribScope scissor(GL_SCISSOR_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(viewport_.x, viewport_.y, viewport_.width, viewport_.height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void View::clearBars() const {
    if (!fillsWindow_) {
        clear();
    }
}

double View::halfExtent() const {
    const float halfAngle = static_cast<float>(fieldOfView_ / 2.0);
    return std::fabs(offsetZ_) * std::tan(halfAngle * kRadiansPerDegree);
}
