#include "smooth_accessible.h"

#include "TAdvSmoothLabel.h"
#include "TAdvSmoothPanel.h"

SmoothCaptionAccessible::SmoothCaptionAccessible(QWidget *widget, QAccessible::Role role)
    : QAccessibleWidget(widget, role) {}

QString SmoothCaptionAccessible::text(QAccessible::Text type) const {
    QString text = QAccessibleWidget::text(type);
    if (type == QAccessible::Name && text.isEmpty())
        text = CaptionText();
    return text;
}

QString SmoothCaptionAccessible::CaptionText() const {
    // qobject_cast fails once QWidget's destructor runs, when the captions are gone.
    if (const auto *label = qobject_cast<const TAdvSmoothLabel *>(object()))
        return label->Caption().Text();
    if (const auto *panel = qobject_cast<const TAdvSmoothPanel *>(object()))
        return panel->Caption().Text();
    return {};
}

QAccessibleInterface *SmoothAccessibleInterface(const QString &, QObject *object) {
    if (auto *label = qobject_cast<TAdvSmoothLabel *>(object))
        return new SmoothCaptionAccessible(label, QAccessible::StaticText);
    if (auto *panel = qobject_cast<TAdvSmoothPanel *>(object))
        return new SmoothCaptionAccessible(panel, QAccessible::Grouping);
    return nullptr;
}
