#include "publish/published_picture.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(PublishedPicture, KnownFromTheRecordingCycleUntilForgotten)
{
    PublishedPicture published;
    EXPECT_EQ(published.known().picture, 0u) << "a new program knows nothing of the server";
    published.record(published.known(), 7);
    EXPECT_EQ(published.known().picture, 7u);
    published.record(published.known(), 9);
    EXPECT_EQ(published.known().picture, 9u);
    published.forget();
    EXPECT_EQ(published.known().picture, 0u);
    published.record(published.known(), 9);
    EXPECT_EQ(published.known().picture, 9u) << "the same number may go up again";
}

TEST(PublishedPicture, ForgettingDuringACycleIsNotUndoneByIt)
{
    PublishedPicture published;
    published.record(published.known(), 3);
    const auto cycleBegan = published.known(); // an Upload thread starts sending picture 4
    published.forget();                        // Stop and Start on the GUI thread meanwhile
    published.record(cycleBegan, 4);           // the old cycle ends well
    EXPECT_EQ(published.known().picture, 0u) << "the first cycle after Start would send nothing";

    // Twice forgotten, the second time while the same picture number is known again.
    const auto before = published.known();
    published.forget();
    published.forget();
    published.record(before, 4);
    EXPECT_EQ(published.known().picture, 0u);
}

} // namespace
} // namespace velmora
