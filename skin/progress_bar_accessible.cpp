#include "progress_bar_accessible.h"

#include "TsuiProgressBar.h"
#include "progress_math.h"

#include <algorithm>

std::int32_t AccessiblePercent(const ProgressRange &range) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(PercentDone(range), 0, 100));
}

TsuiProgressBarAccessible::TsuiProgressBarAccessible(TsuiProgressBar *bar)
    : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

TsuiProgressBar *TsuiProgressBarAccessible::Bar() const {
    // qobject_cast fails once QWidget's destructor runs: the bar's own parts are gone by then.
    return qobject_cast<TsuiProgressBar *>(object());
}

void *TsuiProgressBarAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString TsuiProgressBarAccessible::text(QAccessible::Text type) const {
    const TsuiProgressBar *bar = Bar();
    if (type == QAccessible::Value && bar != nullptr)
        return bar->Text();
    return QAccessibleWidget::text(type);
}

QAccessible::State TsuiProgressBarAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    return state;
}

QVariant TsuiProgressBarAccessible::currentValue() const {
    const TsuiProgressBar *bar = Bar();
    if (bar == nullptr)
        return {};
    return AccessiblePercent({bar->Min(), bar->Max(), bar->Position()});
}

QAccessibleInterface *SkinAccessibleInterface(const QString &, QObject *object) {
    if (auto *bar = qobject_cast<TsuiProgressBar *>(object))
        return new TsuiProgressBarAccessible(bar);
    return nullptr;
}
