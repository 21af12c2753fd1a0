#pragma once
// Runs peer cycles one after the other on a thread of its own, from construction until the object
// goes (the cycle under way is finished, so every tool started has ended).

#include "peer_pipeline.h"

#include <thread>

namespace velmora::bench {

class PeerLoop {
public:
    explicit PeerLoop(PeerPipeline& pipeline)
        : thread_([this, &pipeline](std::stop_token stop) {
              while (!stop.stop_requested())
                  pipeline.runCycle();
          })
    {
    }

private:
    std::jthread thread_; // last: stopped and joined first
};

} // namespace velmora::bench
