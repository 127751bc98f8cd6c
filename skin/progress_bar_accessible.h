#pragma once

#include <QAccessibleWidget>

#include <cstdint>

class TsuiProgressBar;
struct ProgressRange;

/// The value a skinned bar reports to assistive technology: its whole percentage, held to 0 to
/// 100 (the caption may show more past Max; a reader is never told of a bar beyond full).
std::int32_t AccessiblePercent(const ProgressRange &range);

/// A skinned progress bar as assistive technology meets it (UI Automation, AT-SPI): a progress
/// bar named by the widget's accessibleName, whose value is its whole percentage of 0 to 100 and
/// whose value text is the caption it shows. Read only: a reader cannot move the bar.
class TsuiProgressBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TsuiProgressBarAccessible(TsuiProgressBar *bar);

    void *interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text type) const override;
    QAccessible::State state() const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant &) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    /// Null once the bar is being destroyed.
    TsuiProgressBar *Bar() const;
};

/// For QAccessible::installFactory: the skin's controls' interfaces, null for any other object.
QAccessibleInterface *SkinAccessibleInterface(const QString &className, QObject *object);
