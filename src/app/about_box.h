#pragma once
// "Über Velmora": name, version, notice and the maker's homepage, which is the installed help.
// Not modal; closing it (OK, Return, Escape or its close box) only hides it.

#include "app/front_end.h"

#include <functional>
#include <memory>
#include <string>

namespace velmora {

class AboutBox {
public:
    // homepage: the help's path as the presenter reads it (Windows-1252); openHomepage runs on a
    // click on it.
    AboutBox(FrontEnd& frontEnd, std::string homepage, std::function<void()> openHomepage)
        : frontEnd_(frontEnd), homepage_(std::move(homepage)),
          openHomepage_(std::move(openHomepage))
    {
    }

    // Opens the box over owner; a box already open comes to the front.
    void open(DescribedWindow& owner);
    DescribedWindow* window() const { return window_.get(); }

private:
    FrontEnd& frontEnd_;
    std::string homepage_;
    std::function<void()> openHomepage_;
    std::unique_ptr<DescribedWindow> window_;
};

} // namespace velmora
