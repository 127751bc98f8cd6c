// The window's diagnostics controls: the version query of Button1 and the notepad test of
// Button3.
#include "Unit1.h"

#include "ansi_codepage.h"
#include "process_terminator.h"

#include <QMetaObject>

void TForm1::HttpGet(const QString &AURL, QString &AReply) {
    TIdMemorySink stream;
    TIdHTTP http;
    http.Request().ContentType = "text/xml; charset=utf-8";
    http.Request().ContentEncoding = "utf-8";
    http.Request().MaxBodySize = MaxVersionReplySize;
    http.SetHTTPOptions({hoForceEncodeParams});
    http.SetProxyLookup(ProxyLookup(versionQuery_.StopToken()));
    try {
        const VersionQueryThread::Running cancellable(versionQuery_, http);
        http.Get(AURL.toStdString(), stream);
        const int codePage =
            services_.AnsiCodePage != 0 ? services_.AnsiCodePage : SystemAnsiCodePage();
        AReply = AnsiToString(QByteArrayView(stream.Data()), codePage);
    } catch (...) {
        // Every failure leaves the reply as it was; nobody is told.
    }
    try {
        http.Disconnect();
    } catch (...) {
    }
}

void TForm1::Button1Click() {
    versionQuery_.Post([this] {
        QString reply;
        HttpGet(services_.Endpoints.VersionUrl, reply);
        QMetaObject::invokeMethod(this, "AppendVersionReply", Qt::QueuedConnection,
                                  Q_ARG(QString, reply));
    });
}

void TForm1::AppendVersionReply(const QString &reply) {
    if (!closing_)
        Memo1->appendPlainText(reply);
}

void TForm1::Button3Click() {
    platform::TerminateProcessByName(*services_.Processes, u"notepad.exe");
}
