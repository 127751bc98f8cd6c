// Samples of the skinned progress bar: the main window's bar at three positions, a new bar, each
// built-in style half full, and a vertical bar.
#include "gallery.h"
#include "progress_bar1_description.h"

#include "TsuiProgressBar.h"

namespace {

constexpr int SampleWidth = 150;
constexpr int SampleHeight = 23;

QImage Grab(TsuiProgressBar &bar) {
    return bar.grab().toImage();
}

QImage WindowBarAt(int position) {
    TsuiProgressBar bar;
    ApplyProgressBar1Description(bar);
    bar.SetPosition(position);
    return Grab(bar);
}

QImage StyleAtHalf(TsuiUIStyle style) {
    TsuiProgressBar bar;
    bar.resize(SampleWidth, SampleHeight);
    bar.SetUIStyle(style);
    bar.SetPosition(50);
    return Grab(bar);
}

const GalleryRegistration registered{
    {"progress-window-0", [] { return WindowBarAt(0); }},
    {"progress-window-50", [] { return WindowBarAt(50); }},
    {"progress-window-100", [] { return WindowBarAt(100); }},
    {"progress-default",
     [] {
         TsuiProgressBar bar;
         return Grab(bar);
     }},
    {"progress-macos-50", [] { return StyleAtHalf(TsuiUIStyle::MacOS); }},
    {"progress-winxp-50", [] { return StyleAtHalf(TsuiUIStyle::WinXP); }},
    {"progress-deepblue-50", [] { return StyleAtHalf(TsuiUIStyle::DeepBlue); }},
    {"progress-protein-50", [] { return StyleAtHalf(TsuiUIStyle::Protein); }},
    {"progress-blueglass-50", [] { return StyleAtHalf(TsuiUIStyle::BlueGlass); }},
    {"progress-vertical-50",
     [] {
         TsuiProgressBar bar;
         bar.resize(SampleHeight, SampleWidth);
         bar.SetUIStyle(TsuiUIStyle::WinXP);
         bar.SetOrientation(suiVertical);
         bar.SetPosition(50);
         return Grab(bar);
     }},
};

} // namespace
