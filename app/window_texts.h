#pragma once

#include <QString>

/// The window's fixed Persian texts. The letter YEH is the Farsi form U+06CC everywhere except
/// in the word for internet, which keeps the Arabic form U+064A.
namespace WindowText {

inline QString FormCaption() {
    return QStringLiteral("Zorvane - بروز رسانی نرم افزار");
}
inline QString ApplicationTitle() {
    return QStringLiteral("Update Zorvane");
}
inline QString DownloadButton() {
    return QStringLiteral("دانلود آخرین نسخه");
}
inline QString ProgressLabel() {
    return QStringLiteral("درصد پیشرفت :");
}
inline QString SpeedLabel() {
    return QStringLiteral("سرعت دانلود : ");
}
inline QString VolumeLabel() {
    return QStringLiteral("حجم دانلود : ");
}
/// The client product's title, shown in the header.
inline QString ClientTitle() {
    return QStringLiteral("زوروان آنلاین سردل");
}

inline QString NoInternet() {
    return QStringLiteral("خطا - عدم برقراری ارتباط با اينترنت");
}
inline QString UpdateSucceeded() {
    return QStringLiteral("بروزرسانی نرم افزار با موفقیت به پایان رسید");
}
/// Cannot resolve or connect, connection lost, body cut short, stalled.
inline QString ConnectionLost() {
    return QStringLiteral("اتصال شما با اينترنت قطع شده است");
}
/// A reply outside 2xx, an empty body or an HTML page.
inline QString ServerRejected() {
    return QStringLiteral("خطا در دریافت فایل از سرور");
}
/// The client file could not be written or replaced.
inline QString ReplaceFailed() {
    return QStringLiteral(
        "امکان جایگزینی فایل برنامه وجود ندارد؛ برنامه را ببندید و دوباره تلاش کنید");
}

} // namespace WindowText
