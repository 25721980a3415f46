#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

// Questions, warnings and error reports of the game: the standard message
// box of the given kind, centred over the main window. Lines of the text are
// separated by "\r" as the game's messages are built; they are shown as
// lines. Returns the button pressed (Cancel / Escape counts as the escape
// button of the box).
QMessageBox::StandardButton CenteredMessageDlg(const QString &text, QMessageBox::Icon kind,
                                               QMessageBox::StandardButtons buttons);

// The top-level error report: the message of a failure in an error box.
void ShowErrorReport(const QString &message);

// The window the boxes are centred on (the main window registers itself).
void SetMessageDlgCentre(QWidget *window);
QWidget *MessageDlgCentre();

// Lets an automated run answer the boxes: while set, the hook gets every
// text, kind and button set instead of a box being shown, and its answer is
// returned. An empty function shows real boxes again.
using TMessageDlgHook = std::function<QMessageBox::StandardButton(
    const QString &text, QMessageBox::Icon kind, QMessageBox::StandardButtons buttons)>;
void SetMessageDlgHook(TMessageDlgHook hook);
