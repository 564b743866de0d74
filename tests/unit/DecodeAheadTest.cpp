// Pictures decoded ahead on the worker thread: pngBind must upload exactly what it would have
// read from the file, give 0 for the same files, and read a file itself when it is asked for in
// another way or a second time; and a list named anew replaces what was not taken. Every list
// named in a process counts, so this is the one test that names any.

#include "gfx/PngTexture.h"

#include "gfx/GlScope.h"
#include "support/GlContext.h"
#include "support/PngWriter.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string tempPath(const char* name) {
    return std::string("/tmp/hexaglint-ahead-") + name;
}

unsigned bind(const std::string& path, int trans = PNG_ALPHA) {
    return pngBind(path.c_str(), PNG_BUILDMIPMAPS, trans, nullptr, GL_CLAMP, GL_LINEAR, GL_LINEAR);
}

GLint boundFormat() {
    GLint format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    return format;
}

std::vector<unsigned char> boundTexels(std::size_t size) {
    ClientAttribScope pixelStore(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<unsigned char> texels(size);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

} // namespace

TEST(PngBind, PicturesDecodedAheadAreTheFilesAsTheyWereReadAndTakenOnce) {
    ASSERT_TRUE(ensureGlContext());
    std::vector<unsigned char> picture;
    for (int i = 0; i < 6 * 3 * 4; ++i) {
        picture.push_back(static_cast<unsigned char>(i * 37 % 251));
    }
    const std::string rgba = tempPath("rgba.png");
    const std::string opaque = tempPath("opaque.png");
    const std::string damaged = tempPath("damaged.png");
    const std::string bomb = tempPath("bomb.png");
    const std::string solid = tempPath("solid.png");
    const std::string missing = tempPath("missing.png");
    const std::string spare = tempPath("spare.png");
    ASSERT_TRUE(writePng(rgba, 6, 3, 4, picture));
    ASSERT_TRUE(writePng(opaque, 2, 2, 3, std::vector<unsigned char>(12, 200)));
    ASSERT_TRUE(writePng(solid, 6, 3, 4, picture));
    ASSERT_TRUE(writePng(spare, 6, 3, 4, picture));
    std::vector<unsigned char> bytes = readBytes(rgba);
    bytes.resize(bytes.size() / 2);
    ASSERT_TRUE(writeBytes(damaged, bytes));
    ASSERT_TRUE(writeBytes(bomb, pngWithHeaderOnly(100000, 100000)));
    std::remove(missing.c_str());

    const char* const paths[] = {rgba.c_str(),  opaque.c_str(), damaged.c_str(), missing.c_str(),
                                 solid.c_str(), spare.c_str(),  bomb.c_str()};
    decodePngFilesAhead(paths, sizeof paths / sizeof paths[0]);

    // The last one named: once it is back, the worker has read every file.
    EXPECT_EQ(bind(bomb), 0u);
    // From now on the files say otherwise: what the worker read is what is uploaded.
    ASSERT_TRUE(writePng(rgba, 2, 2, 3, std::vector<unsigned char>(12, 9)));
    ASSERT_TRUE(writePng(damaged, 2, 2, 3, std::vector<unsigned char>(12, 9)));
    std::remove(opaque.c_str());

    ASSERT_NE(bind(rgba), 0u);
    EXPECT_EQ(boundFormat(), GL_RGBA);
    EXPECT_EQ(boundTexels(picture.size()), picture);
    ASSERT_NE(bind(opaque), 0u);
    EXPECT_EQ(boundFormat(), GL_RGB);
    EXPECT_EQ(bind(damaged), 0u);
    EXPECT_EQ(bind(missing), 0u);
    // Asked for without its alpha, a picture is read from its file, as an RGB texture.
    ASSERT_NE(bind(solid, PNG_SOLID), 0u);
    EXPECT_EQ(boundFormat(), GL_RGB);

    // Each decoded picture is taken once; asked for again, the file is read as it is now.
    ASSERT_NE(bind(rgba), 0u);
    const std::vector<unsigned char> now = {9, 9, 9, 255, 9, 9, 9, 255, 9, 9, 9, 255, 9, 9, 9, 255};
    EXPECT_EQ(boundTexels(now.size()), now);
    EXPECT_NE(bind(damaged), 0u);
    EXPECT_EQ(bind(opaque), 0u);

    // Named again, the same files change nothing: what was decoded and not taken stays.
    ASSERT_TRUE(writePng(solid, 2, 2, 3, std::vector<unsigned char>(12, 9)));
    ASSERT_TRUE(writePng(spare, 2, 2, 3, std::vector<unsigned char>(12, 9)));
    decodePngFilesAhead(paths, sizeof paths / sizeof paths[0]);
    ASSERT_NE(bind(solid), 0u);
    EXPECT_EQ(boundFormat(), GL_RGBA);
    // Other files replace them: the earlier pictures not taken are dropped.
    const char* const others[] = {rgba.c_str()};
    decodePngFilesAhead(others, 1);
    ASSERT_NE(bind(rgba), 0u);
    ASSERT_NE(bind(spare), 0u);
    EXPECT_EQ(boundFormat(), GL_RGB) << "read from the file as it is now";

    for (const std::string& path : {rgba, damaged, bomb, solid, spare}) {
        std::remove(path.c_str());
    }
}
