#pragma once

#include "CenteredMessageDlg.h"
#include "ZarvoError.h"

#include <QApplication>
#include <exception>
#include <utility>

// Runs a command of a window and turns any failure into the top-level error
// report, so no exception travels through Qt's own code between the event
// that started the command and the application.
template <typename F> void RunReported(F &&command)
{
    try {
        std::forward<F>(command)();
    } catch (const EZarvoError &e) {
        ShowErrorReport(e.Message);
    } catch (const std::exception &e) {
        ShowErrorReport(QString::fromLocal8Bit(e.what()));
    }
}

// A slot that runs fn under the error report: connect(btn, &QAbstractButton::clicked,
// Reported(...)).
template <typename F> auto Reported(F fn)
{
    return [fn = std::move(fn)](auto &&...) { RunReported(fn); };
}

// The application with the top-level error report: a failure that escapes an
// event handler is shown in a message box centred on the main window and the
// program goes on.
class TZarvosApplication : public QApplication
{
public:
    TZarvosApplication(int &argc, char **argv) : QApplication(argc, argv) {}
    bool notify(QObject *receiver, QEvent *event) override;
};
