#include "CenteredMessageDlg.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace {
QPointer<QWidget> CentreWindow;
TMessageDlgHook Hook;
} // namespace

void SetMessageDlgCentre(QWidget *window)
{
    CentreWindow = window;
}

QWidget *MessageDlgCentre()
{
    return CentreWindow.data();
}

void SetMessageDlgHook(TMessageDlgHook hook)
{
    Hook = std::move(hook);
}

QMessageBox::StandardButton CenteredMessageDlg(const QString &text, QMessageBox::Icon kind,
                                               QMessageBox::StandardButtons buttons)
{
    if (Hook)
        return Hook(text, kind, buttons);

    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    QWidget *centre = CentreWindow.data();
    QMessageBox box(kind, QApplication::applicationName(), shown, buttons, centre);
    box.setTextFormat(Qt::PlainText);
    if (centre) {
        // The box takes its final size when shown; then it is centred,
        // truncating the halves, before its modal loop runs.
        box.setWindowModality(Qt::ApplicationModal);
        box.show();
        const QRect main = centre->frameGeometry();
        const QSize size = box.frameGeometry().size();
        box.move(main.left() + (main.width() - size.width()) / 2,
                 main.top() + (main.height() - size.height()) / 2);
    }
    const int answer = box.exec();
    return QMessageBox::StandardButton(answer);
}

void ShowErrorReport(const QString &message)
{
    CenteredMessageDlg(message, QMessageBox::Critical, QMessageBox::Ok);
}
