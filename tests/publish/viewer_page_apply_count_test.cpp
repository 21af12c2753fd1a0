#include "publish/viewer_page_apply_count.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(ViewerPageApplyCount, SentUntilTheNextApply)
{
    ViewerPageApplyCount count;
    const auto first = count.pendingApply();
    ASSERT_TRUE(first) << "a new program has sent nothing";
    count.markSent(*first);
    EXPECT_TRUE(count.sent());
    EXPECT_FALSE(count.pendingApply());
    count.countApply();
    EXPECT_FALSE(count.sent());
    ASSERT_TRUE(count.pendingApply());
    EXPECT_NE(*count.pendingApply(), *first);
}

TEST(ViewerPageApplyCount, ApplyDuringTheUploadIsNotLost)
{
    ViewerPageApplyCount count;
    const auto uploading = count.pendingApply(); // the cycle starts sending to the old folder
    count.countApply();                          // the presenter applies a new folder meanwhile
    count.markSent(*uploading);                  // the old upload ends
    EXPECT_FALSE(count.sent()) << "the new folder would never get its viewer page";
    const auto next = count.pendingApply();
    ASSERT_TRUE(next);
    count.markSent(*next);
    EXPECT_TRUE(count.sent());
}

} // namespace
} // namespace velmora
