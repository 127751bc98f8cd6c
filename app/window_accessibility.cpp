// What screen readers are told about the window: roles and Persian names for the controls the
// player sees, the diagnostics controls named by what they do, the unused ones left out.
#include "window_accessibility.h"

#include "Unit1.h"
#include "progress_bar_accessible.h"
#include "smooth_accessible.h"
#include "window_texts.h"
#include "window_widgets.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QSet>

#include <algorithm>

namespace {

/// The widgets left out of the tree; each leaves the set when it starts being destroyed.
QSet<const QObject *> &LeftOut() {
    static QSet<const QObject *> widgets;
    return widgets;
}

/// A container that lists its child widgets as a reader should meet them: top to bottom, and
/// right to left within a line as the Persian window reads, without the left-out ones.
class ReadingOrderContainer final : public QAccessibleWidget {
public:
    ReadingOrderContainer(QWidget *widget, QAccessible::Role role)
        : QAccessibleWidget(widget, role) {}

    int childCount() const override { return int(Listed().size()); }
    QAccessibleInterface *child(int index) const override {
        const QList<QWidget *> listed = Listed();
        if (index < 0 || index >= listed.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(listed[index]);
    }
    int indexOfChild(const QAccessibleInterface *child) const override {
        if (child == nullptr)
            return -1;
        return int(Listed().indexOf(qobject_cast<QWidget *>(child->object())));
    }

private:
    QList<QWidget *> Listed() const {
        QList<QWidget *> listed;
        for (QObject *object : widget()->children()) {
            auto *child = qobject_cast<QWidget *>(object);
            if (child != nullptr && !child->isWindow() && !LeftOut().contains(child))
                listed.append(child);
        }
        std::stable_sort(listed.begin(), listed.end(), [](const QWidget *a, const QWidget *b) {
            if (a->y() != b->y())
                return a->y() < b->y();
            return a->geometry().right() > b->geometry().right();
        });
        return listed;
    }
};

/// A left-out control, should an event lead a reader to it: invisible, without role or words.
class LeftOutControl final : public QAccessibleWidget {
public:
    explicit LeftOutControl(QWidget *widget) : QAccessibleWidget(widget, QAccessible::NoRole) {}
    QString text(QAccessible::Text) const override { return {}; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = true;
        return state;
    }
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    void *interface_cast(QAccessible::InterfaceType) override { return nullptr; }
};

QAccessibleInterface *WindowAccessibleInterface(const QString &, QObject *object) {
    auto *widget = qobject_cast<QWidget *>(object);
    if (widget == nullptr)
        return nullptr;
    if (LeftOut().contains(widget))
        return new LeftOutControl(widget);
    // The casts fail once QWidget's destructor runs, so a dying widget gets Qt's own answer.
    if (qobject_cast<TForm1 *>(widget) != nullptr)
        return new ReadingOrderContainer(widget, QAccessible::Window);
    if (dynamic_cast<BevelPanel *>(widget) != nullptr)
        return new ReadingOrderContainer(widget, QAccessible::Grouping);
    return nullptr;
}

} // namespace

void InstallWindowAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(SkinAccessibleInterface);
        QAccessible::installFactory(SmoothAccessibleInterface);
        QAccessible::installFactory(WindowAccessibleInterface);
        return true;
    }();
    (void)installed;
}

void LeaveOutOfAccessibleTree(QWidget &widget) {
    LeftOut().insert(&widget);
    QObject::connect(&widget, &QObject::destroyed, [](QObject *gone) { LeftOut().remove(gone); });
}

void DescribeWindowToScreenReaders(TForm1 &form) {
    form.ProgressBar1->setAccessibleName(WindowText::DownloadProgressName());
    form.Button1->setAccessibleName(WindowText::VersionQueryName());
    form.Memo1->setAccessibleName(WindowText::VersionReplyName());
    form.Button3->setAccessibleName(WindowText::EndNotepadName());
    // Nobody uses Label1 and ProgressBar2 (the latter would announce a bar at 60 %); the shapes
    // are only the panels' colour.
    for (QWidget *unused :
         {static_cast<QWidget *>(form.Label1), static_cast<QWidget *>(form.ProgressBar2),
          static_cast<QWidget *>(form.Shape1), static_cast<QWidget *>(form.Shape2)})
        LeaveOutOfAccessibleTree(*unused);
}
