#pragma once

#include <QFont>
#include <cstdint>

#include "conversion/font_record.h"
#include "conversion/page_defaults.h"
#include "options/option_page.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QToolButton;

namespace quorlix {

class UpDownControl;

// The "Watermark" page: no watermark, a text watermark with its font, colours, position and
// timing, or a JPEG image watermark with its position; a web address opened on a click.
class WatermarkPage : public OptionPage {
    Q_OBJECT

public:
    WatermarkPage(PageContext& context, QWidget* parent = nullptr);

    void FillOptions(OptionSet& options) const override;
    // The page load of "Load from default", with values of another type skipped instead of
    // reported.
    void LoadFromDefaults() override;

    // The Convert command's first check: "Image watermark" chosen and no file at its path.
    bool ImageWatermarkFileMissing() const;
    // Puts the keyboard focus into the image file's box.
    void FocusImageFile();

    // The watermark font and background colour as the conversion reads them.
    const FontSpec& watermarkFont() const { return waterFont_; }
    std::uint32_t backgroundColour() const { return background_; }

public slots:
    void chooseFont();
    void chooseFontColour();
    void chooseBackgroundColour();
    void chooseImageFile();
    void clampTextLeft();
    void clampTextTop();
    void normaliseAppearEvery();
    void normaliseDisappearAfter();
    void showImageTransparency(int position);
    void saveDefaults();
    void loadDefaults();

private:
    void BuildKindButtons();
    void BuildTextGroup();
    void BuildTextPosition(QWidget* group);
    void BuildTiming(QWidget* group);
    void BuildImageGroup();
    void BuildWebAndButtons();
    // The watermark text in the watermark font, font colour and background colour.
    void ShowWatermarkLook();
    // The height of a line of text the watermark text box shows whole.
    int SampleLineHeight() const;
    void ShowOptions(const OptionSet& options);
    void LoadPage(LoadMode mode);
    // The page load's picture step: the stored file's size, or the prompt when it does not load.
    void CheckImageFile();
    void ShowNoImage();
    void NormaliseFocusedField() const;

    PageContext& context_;
    FontSpec waterFont_;
    std::uint32_t background_;
    // The font dialog's own last choice, which it opens with.
    QFont fontDialogChoice_;

    QButtonGroup* kindGroup_;
    QButtonGroup* positionGroup_;
    QRadioButton* noWatermarkRadio_;
    QRadioButton* textWatermarkRadio_;
    QRadioButton* imageWatermarkRadio_;
    QGroupBox* textGroup_;
    QLabel* watermarkTextLabel_;
    QLineEdit* watermarkTextEdit_;
    QPushButton* selectFontButton_;
    QPushButton* fontColourButton_;
    QPushButton* backgroundColourButton_;
    QCheckBox* transparentBackgroundCheckBox_;
    QRadioButton* customPositionRadio_;
    QLabel* positionSizeLabel_;
    QLabel* textLeftLabel_;
    QLineEdit* textLeftEdit_;
    UpDownControl* textLeftUpDown_;
    QLabel* textTopLabel_;
    QLineEdit* textTopEdit_;
    UpDownControl* textTopUpDown_;
    QRadioButton* relativePositionRadio_;
    QLabel* horizontalLabel_;
    QComboBox* horizontalComboBox_;
    QLabel* verticalLabel_;
    QComboBox* verticalComboBox_;
    QRadioButton* randomPositionRadio_;
    QCheckBox* appearEveryCheckBox_;
    QLineEdit* appearEveryEdit_;
    QLabel* disappearAfterLabel_;
    QLineEdit* disappearAfterEdit_;
    QLabel* secondsLabel_;
    QGroupBox* imageGroup_;
    QLabel* imageFileLabel_;
    QLineEdit* imageFileEdit_;
    QToolButton* imageFileButton_;
    QLabel* imagePositionLabel_;
    QLabel* imageLeftLabel_;
    QLineEdit* imageLeftEdit_;
    UpDownControl* imageLeftUpDown_;
    QLabel* imageTopLabel_;
    QLineEdit* imageTopEdit_;
    UpDownControl* imageTopUpDown_;
    QLabel* imageWidthLabel_;
    QLabel* imageHeightLabel_;
    QLabel* imageTransparencyLabel_;
    QSlider* imageTransparencySlider_;
    QLabel* imageTransparencyValueLabel_;
    QLabel* webAddressLabel_;
    QLineEdit* webAddressEdit_;
    QPushButton* watermarkSaveDefaultsButton_;
    QPushButton* watermarkLoadDefaultsButton_;
    QPushButton* watermarkCloseButton_;
};

}  // namespace quorlix
