#pragma once

#include <QAccessibleWidget>

/// A gradient label or panel as assistive technology meets it: the label as static text, the
/// panel as a grouping of its child controls, each named by the widget's accessibleName when one
/// is set and otherwise by its caption's text (the words it draws, which no reader could see).
class SmoothCaptionAccessible : public QAccessibleWidget {
public:
    SmoothCaptionAccessible(QWidget *widget, QAccessible::Role role);
    QString text(QAccessible::Text type) const override;

private:
    /// Empty once the widget is being destroyed.
    QString CaptionText() const;
};

/// For QAccessible::installFactory: interfaces for the gradient label and panel, null for any
/// other object.
QAccessibleInterface *SmoothAccessibleInterface(const QString &className, QObject *object);
