#pragma once

#include <QImage>
#include <QString>

#include "options/option_page.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace quorlix {

// What the icon file edit shows when it names no icon file.
inline constexpr const char* kIconPrompt = "Please click right button to select a icon file->";

// The image dialog's filter: every kind of picture the program reads.
extern const char* const kImageFilter;

class IconImageList;
class PictureBox;
class UpDownControl;
struct LogoLoadReport;

// The controls of one logo image, the first (shown before the document) or the second (after it):
// its show box and panel, path, thumbnail, transparency boxes, closing mode with its seconds, and
// preview button.
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
    void LoadFromDefaults() override { loadDefaults(); }

    // Previews opened from now on tick their timers only when a test runs their handlers.
    void SetPreviewTimersByHand(bool byHand) { previewTimersByHand_ = byHand; }

    // Draws one image of the icon preview folder into an item of the icon image list.
    void DrawIconImage(QPainter& painter, int index, const QRect& rect, bool selected) const;

public slots:
    void showIconPanel();
    void showFirstImagePanel();
    void showSecondImagePanel();
    void chooseIconFile();
    void iconFileDoubleClicked();
    void useDefaultIcon();
    void chooseFirstImage();
    void chooseSecondImage();
    void firstImageDoubleClicked();
    void fillEmptyFirstSeconds();
    void fillEmptySecondSeconds();
    void previewFirstImage();
    void previewSecondImage();
    void saveDefaults();
    void loadDefaults();
    void requestClose();

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

    QCheckBox* changeIconCheckBox_;
    QFrame* iconPanel_;
    IconImageList* iconImageList_;
    QLineEdit* iconFileEdit_;
    QToolButton* iconFileButton_;
    QPushButton* defaultIconButton_;
    LogoImageControls firstImage_;
    LogoImageControls secondImage_;
    QPushButton* logoSaveDefaultsButton_;
    QPushButton* logoLoadDefaultsButton_;
    QPushButton* logoCloseButton_;
};

}  // namespace quorlix
