#include "ErrorReport.h"

bool TZarvosApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const EZarvoError &e) {
        ShowErrorReport(e.Message);
    } catch (const std::exception &e) {
        ShowErrorReport(QString::fromLocal8Bit(e.what()));
    }
    return false;
}
