#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class TFormEnhance;

// The version as the about box shows it: "major.minor (Build n)"; the patch
// number is not shown.
QString VersionText(int major, int minor, int patch, int build);
// VersionText of this build's version.
QString ProgramVersionText();

// The about box "Info": name, version and build, the rights notice with the
// year of the program file, the program's licence, and the Qt it runs on
// with Qt's licence. Only facts: the project has no web or mail address.
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
    QLabel *LblQt = nullptr;
    QPushButton *BtnOK = nullptr;
    TFormEnhance *FormEnhance = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FormCreate();
};

// Shows the about box modally over owner.
void ShowAboutBox(QWidget *owner);
