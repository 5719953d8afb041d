// One operation of the Workspace, however many others it is made of: what
// it changed of the mode, the run and the fate is told once, when the
// outermost one ends.
#pragma once

#include "workspace/workspace.h"

namespace hexlife {

class Workspace::Telling {
public:
    explicit Telling(Workspace& work) : work_(work), before_(work.seen()) { ++work_.depth_; }
    ~Telling()
    {
        if (--work_.depth_ == 0) {
            work_.tell(before_);
        }
    }
    Telling(const Telling&) = delete;
    Telling& operator=(const Telling&) = delete;

private:
    Workspace& work_;
    Seen before_;
};

}  // namespace hexlife
