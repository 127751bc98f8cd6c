// The whole updater window as it shows after start-up: the visible client area only.
#include "gallery.h"

#include "Unit1.h"

namespace {

const GalleryRegistration registered{
    {"window",
     [] {
         TForm1 form;
         form.resize(342, 256);
         return form.grab().toImage();
     }},
};

} // namespace
