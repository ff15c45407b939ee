#include "platform/Resources.h"

#include <gtest/gtest.h>

namespace {

TEST(Resources, UnknownOrMalformedNamesGiveNothing) {
    EXPECT_TRUE(Resources::imagePath(QStringLiteral("no-such-image.tif")).isNull());
    EXPECT_TRUE(Resources::image(QStringLiteral("no-such-image.tif")).isNull());
    EXPECT_TRUE(Resources::imagePath(QStringLiteral("../images/sl-icon_folder.tiff")).isNull());
    EXPECT_TRUE(Resources::imagePath(QString()).isNull());
}

} // namespace
