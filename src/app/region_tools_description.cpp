#include "app/program_windows.h"

namespace velmora {
namespace {

constexpr GadgetDescription kPickerGadgets[] = {
    {kPickerButtonGadget,
     GadgetKind::Button,
     {10, 10, 180, 25},
     "100,100,300,300",
     WindowAction::TakeRegion,
     0,
     GadgetFont::Title},
    {101,
     GadgetKind::WrappingLabel,
     {10, 50, 180, 100},
     "Fenstergr\xF6sse und Position anpassen um Bereich zu bestimmen, dann Knopf dr\xFC"
     "cken.",
     WindowAction::None,
     0,
     GadgetFont::Title},
};

// Both fill the window, whatever its size: their places follow from it.
constexpr GadgetDescription kPreviewGadgets[] = {
    {kPreviewPictureGadget, GadgetKind::PictureView, {}, ""},
    {kPreviewStatusGadget,
     GadgetKind::StatusBar,
     {},
     "Desktop Vorschau wie in der Pr\xE4sentation beim Zuschauer angezeigt"},
};

} // namespace

const WindowDescription& regionPickerDescription()
{
    static const WindowDescription window{
        .title = "Bereich bestimmen",
        .clientWidth = 200,
        .clientHeight = 200,
        .placement = Placement::CentredOnScreen,
        .resizable = true,
        .translucent = true,
        .gadgets = kPickerGadgets,
        .settleMilliseconds = 200,
    };
    return window;
}

const WindowDescription& previewWindowDescription()
{
    static const WindowDescription window{
        .title = "Desktop Vorschau",
        .clientWidth = 0, // from the picture
        .clientHeight = 0,
        .placement = Placement::BesideOwner,
        .resizable = true,
        .gadgets = kPreviewGadgets,
        .settleMilliseconds = 500,
    };
    return window;
}

const WindowDescription& regionFrameDescription()
{
    static const WindowDescription window{
        .title = "Bildschirmbereich",
        .clientWidth = 0, // the region's
        .clientHeight = 0,
        .placement = Placement::Given,
    };
    return window;
}

} // namespace velmora
