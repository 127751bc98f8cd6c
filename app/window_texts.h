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
/// The downloaded file is not the publisher's (signature missing, wrong or not for these bytes).
inline QString NotAuthentic() {
    return QStringLiteral("فایل دریافت‌شده معتبر نیست");
}

/// What screen readers call the controls that show no words of their own: the skinned bar, and
/// the diagnostics controls below the visible area (named by what they do).
inline QString DownloadProgressName() {
    return QStringLiteral("پیشرفت دریافت");
}
inline QString VersionQueryName() {
    return QStringLiteral("پرسیدن شماره نسخه از سرور");
}
inline QString VersionReplyName() {
    return QStringLiteral("پاسخ سرور به پرسش نسخه");
}
inline QString EndNotepadName() {
    return QStringLiteral("بستن همه برنامه‌های notepad.exe");
}

} // namespace WindowText
