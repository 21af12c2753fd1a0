#pragma once
// The data page the spectators tests serve and read: picture 2, upload 17 at 14:05:09, refreshed
// every 500 ms.

#include "publish/data_page.h"

namespace velmora::bench {

inline velmora::DataPageValues sampleDataPage()
{
    velmora::DataPageValues v;
    v.pictureNumber = 2;
    v.uploadTime = "14:05:09";
    v.uploadCounter = 17;
    v.homepage = "http://example.org/";
    v.markerX = -4;
    v.markerY = 140;
    v.refreshMs = 500;
    return v;
}

} // namespace velmora::bench
