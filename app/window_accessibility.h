#pragma once

class QWidget;
class TForm1;

/// Installs, once per process, the interfaces through which screen readers meet the window: the
/// skinned bar, the gradient labels and panels, the window and its bevelled panels (which list
/// their children in reading order, leaving out what `LeaveOutOfAccessibleTree` marked). Call it
/// once the application object exists: Qt asks the factories installed last first, so ours come
/// before Qt's own.
void InstallWindowAccessibility();

/// Keeps `widget` out of the accessible tree for its lifetime: its parent does not list it, and
/// its own interface (which an event might still lead to) is invisible and says nothing. Main
/// thread only.
void LeaveOutOfAccessibleTree(QWidget &widget);

/// Names the controls whose words a reader cannot see otherwise (the skinned bar, the
/// diagnostics controls below the visible area) and leaves the unused and decorative ones out of
/// the tree. The header labels and the big button are named by the texts they show.
void DescribeWindowToScreenReaders(TForm1 &form);
