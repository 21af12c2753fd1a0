#include "publish/viewer_page_flag.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(ViewerPageFlag, SentUntilTheNextApply)
{
    ViewerPageFlag flag;
    const auto first = flag.pendingApply();
    ASSERT_TRUE(first) << "a new program has sent nothing";
    flag.markSent(*first);
    EXPECT_TRUE(flag.sent());
    EXPECT_FALSE(flag.pendingApply());
    flag.requestResend();
    EXPECT_FALSE(flag.sent());
    ASSERT_TRUE(flag.pendingApply());
    EXPECT_NE(*flag.pendingApply(), *first);
}

TEST(ViewerPageFlag, ApplyDuringTheUploadIsNotLost)
{
    ViewerPageFlag flag;
    const auto uploading = flag.pendingApply(); // the cycle starts sending to the old folder
    flag.requestResend();                       // the presenter applies a new folder meanwhile
    flag.markSent(*uploading);                  // the old upload ends
    EXPECT_FALSE(flag.sent()) << "the new folder would never get its viewer page";
    const auto next = flag.pendingApply();
    ASSERT_TRUE(next);
    flag.markSent(*next);
    EXPECT_TRUE(flag.sent());
}

} // namespace
} // namespace velmora
