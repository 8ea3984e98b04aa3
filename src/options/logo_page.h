#pragma once

#include <QImage>
#include <QString>

#include "options/option_page.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace quorlix {

// What Edit6 shows when it names no icon file.
inline constexpr const char* kIconPrompt = "Please click right button to select a icon file->";

// The image dialog's filter: every kind of picture the program reads.
extern const char* const kImageFilter;

class IconImageList;
class PictureBox;
class UpDownControl;
struct LogoLoadReport;

// The controls of one logo image: its show box and panel, path, thumbnail, transparency boxes,
// closing mode with its seconds, and preview button (CheckBox6/Panel2/Edit3/... for the first
// image, CheckBox7/Panel4/Edit7/... for the second).
struct LogoImageControls {
    QCheckBox* show = nullptr;
    QFrame* panel = nullptr;
    QLineEdit* path = nullptr;
    QToolButton* choose = nullptr;
    PictureBox* thumbnail = nullptr;
    QCheckBox* appear = nullptr;
    QCheckBox* disappear = nullptr;
    QRadioButton* autoClose = nullptr;
    QLineEdit* seconds = nullptr;
    UpDownControl* upDown = nullptr;
    QRadioButton* mouseClick = nullptr;
    QPushButton* preview = nullptr;
};

// The "Logo setup" page: the output's icon, and the images shown before and after the document
// with their timing and transparency, previewed in ImagePreviewWindow.
class LogoPage : public OptionPage {
    Q_OBJECT

public:
    LogoPage(PageContext& context, QWidget* parent = nullptr);

    void FillOptions(OptionSet& options) const override;
    void LoadFromDefaults() override { Button20Click(); }

    // Previews opened from now on tick their timers only when a test runs their handlers.
    void SetPreviewTimersByHand(bool byHand) { previewTimersByHand_ = byHand; }

    // Draws one image of the icon preview folder into a list item (ComboBox3).
    void ComboBox3DrawItem(QPainter& painter, int index, const QRect& rect, bool selected) const;

public slots:
    void CheckBox8Click();
    void CheckBox6Click();
    void CheckBox7Click();
    void SpeedButton5Click();
    void Edit6DblClick();
    void Button18Click();
    void SpeedButton3Click();
    void SpeedButton6Click();
    void Edit3DblClick();
    void Edit5Exit();
    void Edit8Exit();
    void Button21Click();
    void Button13Click();
    void Button19Click();
    void Button20Click();
    void Button14Click();

public:
    // The key filters of Edit5 and Edit8: true lets the typed character through.
    static bool Edit5KeyPress(const QKeyEvent& event);
    static bool Edit8KeyPress(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildIconPanel();
    LogoImageControls BuildImagePanel(int top, int number);
    void BuildButtons();

    // Splits the icon file into the icon preview folder and lists its images; throws when it
    // cannot be read or split.
    void ShowIconImages(const QString& iconPath);
    void SetIconItems(int count);
    void ChooseImage(LogoImageControls& image, bool reportFailure);
    // Loads the path edit's picture into the thumbnail; false, thumbnail hidden, when it fails.
    bool LoadThumbnail(LogoImageControls& image);
    void CheckImageKind(LogoImageControls& image);
    void ShowImagePreview(const LogoImageControls& image);
    void ApplyOptions(const OptionSet& options, const LogoLoadReport& report);
    void ShowIconOnPageLoad();
    void LoadImageOnPageLoad(LogoImageControls& image);

    PageContext& context_;
    bool previewTimersByHand_ = false;

    QCheckBox* CheckBox8;
    QFrame* Panel3;
    IconImageList* ComboBox3;
    QLineEdit* Edit6;
    QToolButton* SpeedButton5;
    QPushButton* Button18;
    LogoImageControls first_;   // CheckBox6, Panel2, Edit3, SpeedButton3, Image1, ...
    LogoImageControls second_;  // CheckBox7, Panel4, Edit7, SpeedButton6, Image2, ...
    QPushButton* Button19;
    QPushButton* Button20;
    QPushButton* Button14;
};

}  // namespace quorlix
