// A small window-system layer over the program's own top-level windows, in
// the terms the file-dialog automation thinks in: handles, captions,
// classes of child controls, set-text and click.
#pragma once
#include <QString>
#include <QVector>

class QWidget;

using WindowHandle = quintptr;

// A stable non-zero number for a live widget (0 for none).
WindowHandle windowHandleOf(QWidget *w);
// The widget behind a handle, nullptr when it has gone.
QWidget *widgetOf(WindowHandle h);

// Top-level windows in the order they were created.
QVector<WindowHandle> topLevelWindows();
QString windowCaption(WindowHandle h);
bool isWindowVisible(WindowHandle h);
// First top-level window whose caption equals `caption` exactly.
WindowHandle findWindowByCaption(const QString &caption);

// What the file-dialog search may take for the dialog: the open file
// choosers among the top-level windows, in the same order. The program's
// own windows (the title test, whose caption holds "ファイルダイアログ", the
// settings, the browser) are never the dialog, whatever their caption.
QVector<WindowHandle> fileChooserWindows();
// First file chooser whose caption equals `caption` exactly.
WindowHandle findFileChooser(const QString &caption);

// First direct child of the class ("Edit" = line edit, "ComboBoxEx32" =
// editable combo box, "Button" = push button, also searched inside the
// window's button box) with the caption (empty: any caption).
WindowHandle findChildWindow(WindowHandle parent, const QString &className,
                             const QString &caption = QString());

// WM_SETTEXT: 0 when the box refuses the text (read-only or disabled).
int setWindowText(WindowHandle h, const QString &text);
// BM_CLICK.
int clickButton(WindowHandle h);
// Ends the modal loop of the file chooser that is open (the active one,
// else the newest), so that the click that opened it returns.
void endActiveModal();
// Brings a window to the front and gives it the focus.
void forceForeground(WindowHandle h);
