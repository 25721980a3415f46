#pragma once

#include <QDialog>
#include <QUrl>
#include <functional>

class QLabel;
class QPushButton;
class TFormEnhance;

// The version as the about box shows it: "major.minor (Build n)"; the patch
// number is not shown.
QString VersionText(int major, int minor, int patch, int build);
// VersionText of this build's version.
QString ProgramVersionText();

// Where the links lead.
extern const QString ZarvosHomepage; // a web address
extern const QString ZarvosEMail;    // an e-mail address, without "mailto:"

// The about box "Info": name, version, rights notice with the year of the
// program file, and the homepage and e-mail links.
class TFormAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TFormAboutBox(QWidget *owner);

    QLabel *ProgramIcon = nullptr;
    QLabel *LblProductName = nullptr;
    QLabel *LblVersions = nullptr;
    QLabel *LblVersion = nullptr;
    QLabel *LblNotice1 = nullptr;
    QLabel *LblNotice2 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *ImgHomepage = nullptr;
    QLabel *LblHomepage = nullptr;
    QLabel *ImgEMail = nullptr;
    QLabel *LblEMail = nullptr;
    QPushButton *BtnOK = nullptr;
    TFormEnhance *FormEnhance = nullptr;

    // How a link is opened; tests replace it. Default: QDesktopServices.
    static std::function<bool(const QUrl &)> OpenUrl;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FormCreate();
    void LinkMouseDown(QLabel *link);
    void LinkMouseUp(QLabel *link, const QUrl &url);
};

// Shows the about box modally over owner.
void ShowAboutBox(QWidget *owner);
