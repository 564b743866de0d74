#include "app/View.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cmath>

namespace {

// The projection's width over its height: the window's, so the board plane is not stretched.
constexpr double kAspect = static_cast<double>(View::kWidth) / View::kHeight;
// The depth range the projection keeps; the board plane lies 37.5 units away.
constexpr double kNearPlane = 0.001;
constexpr double kFarPlane = 200.0;
constexpr double kRadiansPerDegree = 0.017453292519943295;

} // namespace

View* View::instance() {
    static View* view = new View();
    return view;
}

void View::reshape(int w, int h) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (w != kWidth || h != kHeight) {
        // The toolkit answers with another reshape at the restored size, which sets everything up.
        glutReshapeWindow(kWidth, kHeight);
        return;
    }
    width_ = kWidth;
    height_ = kHeight;
    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView_, kAspect, kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(static_cast<float>(offsetX_), static_cast<float>(offsetY_),
                 static_cast<float>(offsetZ_));
}

void View::applyTransform() {
    glLoadIdentity();
    glTranslatef(static_cast<float>(offsetX_), static_cast<float>(offsetY_),
                 static_cast<float>(offsetZ_));
}

void View::update(float /*dt*/) {}

double View::halfExtent() const {
    const float halfAngle = static_cast<float>(fieldOfView_ / 2.0);
    return std::fabs(offsetZ_) * std::tan(halfAngle * kRadiansPerDegree);
}
