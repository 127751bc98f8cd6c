#include "message_box.h"

#include <QMessageBox>

#include <memory>

QString MessageCaption(TMessageKind kind) {
    switch (kind) {
    case TMessageKind::Error:
        return QStringLiteral("Error");
    case TMessageKind::Information:
        return QStringLiteral("Information");
    case TMessageKind::Warning:
        return QStringLiteral("Warning");
    }
    return {};
}

namespace {

QMessageBox::Icon IconOf(TMessageKind kind) {
    switch (kind) {
    case TMessageKind::Error:
        return QMessageBox::Critical;
    case TMessageKind::Information:
        return QMessageBox::Information;
    case TMessageKind::Warning:
        return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

QMessageBox *NewBox(TMessageKind kind, const QString &caption, const QString &text,
                    QWidget *parent) {
    auto *box = new QMessageBox(IconOf(kind), caption, text, QMessageBox::Ok, parent);
    box->setLayoutDirection(Qt::RightToLeft);
    return box;
}

class QtBoxes final : public MessageBoxSeam {
public:
    void Show(QWidget *parent, TMessageKind kind, const QString &caption, const QString &text,
              std::function<void()> onDismissed) override {
        // Modal but not blocking: no nested event loop, so closing the window mid-box is safe.
        auto *box = NewBox(kind, caption, text, parent);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::ApplicationModal);
        if (onDismissed)
            QObject::connect(box, &QMessageBox::finished, box,
                             [done = std::move(onDismissed)](int) { done(); });
        box->show();
    }
};

} // namespace

MessageBoxSeam &QtMessageBoxes() {
    static QtBoxes boxes;
    return boxes;
}

void PrepareMessageBoxes(const QString &text) {
    const std::unique_ptr<QMessageBox> box(NewBox(
        TMessageKind::Information, MessageCaption(TMessageKind::Information), text, nullptr));
    box->ensurePolished();
    (void)box->sizeHint();
}
