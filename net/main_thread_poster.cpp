// The one place where net/ meets Qt: handing OnTerminate to the main thread.
#include "main_thread_poster.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace net {

void PostToQtMainThread(std::function<void()> call) {
    QCoreApplication *app = QCoreApplication::instance();
    if (!app) {
        call();
        return;
    }
    QMetaObject::invokeMethod(app, std::move(call), Qt::QueuedConnection);
}

} // namespace net
