#pragma once

#include <QLineEdit>
#include <QPixmap>
#include <optional>

class QToolButton;

// What the button of a TButtonEdit asks for when it runs a file dialog.
struct TFileDialogSettings
{
    QString Title;
    // Either Qt's form "Bilder (*.png *.bmp);;Alle (*)" or pairs separated by
    // "|": "Klänge (*.wav)|*.wav|Alle Dateien|*.*"; the patterns of a pair,
    // separated by ";", are what its entry shows and matches.
    QString Filter;
    QString FileName;   // proposed file; replaced by the edit's text when that is set
    QString InitialDir; // used when the proposed file names no folder of its own
    bool MustExist = true;
};

// The filter of a TFileDialogSettings as Qt's name filters.
QStringList FileDialogNameFilters(const QString &filter);

// A single-line edit with a square picture button inside its right end. The
// button runs the file dialog of Dialog on the edit's text when one is set,
// else emits BtnClick. A read-only edit still runs its button.
class TButtonEdit : public QLineEdit
{
    Q_OBJECT

public:
    enum TBtnStyle { stArrow, stCheck, stCustom, stMinus, stOpen, stPath, stPlus, stSave };

    explicit TButtonEdit(QWidget *parent = nullptr);

    TBtnStyle Style() const { return FStyle; }
    // A built-in picture for every style but stCustom, which keeps the
    // picture there is. Setting the style it already has changes nothing.
    void SetStyle(TBtnStyle style);

    QPixmap Glyph() const { return FGlyph; }
    void SetGlyph(const QPixmap &glyph);
    // Images side by side in Glyph: the first is the normal look, the
    // second (if any) the disabled one.
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int count);

    QString HintBtn() const;
    void SetHintBtn(const QString &hint);

    const std::optional<TFileDialogSettings> &Dialog() const { return FDialog; }
    void SetDialog(std::optional<TFileDialogSettings> dialog) { FDialog = std::move(dialog); }

    // Entering by keyboard selects the whole text (not by mouse press).
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool on) { FAutoSelect = on; }

    // The smallest height the font rule allows; lower edits spring back.
    int MinHeight() const;

    // What a press of the button does.
    void ButtonClick();

    QToolButton *Button() const { return FButton; }
    // The built-in picture of a style (a null pixmap for stCustom).
    static QPixmap StyleGlyph(TBtnStyle style);

Q_SIGNALS:
    void BtnClick();

protected:
    void resizeEvent(QResizeEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    void UpdateIcon();
    void PlaceButton();
    void RunDialog();

    QToolButton *FButton;
    TBtnStyle FStyle = stOpen;
    QPixmap FGlyph;
    int FNumGlyphs = 1;
    bool FAutoSelect = true;
    std::optional<TFileDialogSettings> FDialog;
};
