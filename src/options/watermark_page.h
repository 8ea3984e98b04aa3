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
    // The page load of Button11Click, with values of another type skipped instead of reported.
    void LoadFromDefaults() override;

    // The Convert command's first check: "Image watermark" chosen and no file at its path.
    bool ImageWatermarkFileMissing() const;
    // Puts the keyboard focus into the image file's box.
    void FocusImageFile();

    // The watermark font and background colour as the conversion reads them.
    const FontSpec& watermarkFont() const { return waterFont_; }
    std::uint32_t backgroundColour() const { return background_; }

public slots:
    void BitBtn6Click();
    void BitBtn8Click();
    void BitBtn7Click();
    void SpeedButton1Click();
    void Edit33Exit();
    void Edit34Exit();
    void Edit35Exit();
    void Edit36Exit();
    void TrackBar1Change(int position);
    void Button10Click();
    void Button11Click();

private:
    void BuildKindButtons();
    void BuildTextGroup();
    void BuildTextPosition(QWidget* group);
    void BuildTiming(QWidget* group);
    void BuildImageGroup();
    void BuildWebAndButtons();
    // Edit32 in the watermark font, font colour and background colour.
    void ShowWatermarkLook();
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
    QRadioButton* RadioButton16;
    QRadioButton* RadioButton14;
    QRadioButton* RadioButton15;
    QGroupBox* GroupBox10;
    QLabel* WatermarkLabel1;
    QLineEdit* Edit32;
    QPushButton* BitBtn6;
    QPushButton* BitBtn8;
    QPushButton* BitBtn7;
    QCheckBox* CheckBox28;
    QRadioButton* RadioButton18;
    QLabel* WatermarkLabel2;
    QLabel* WatermarkLabel3;
    QLineEdit* Edit33;
    UpDownControl* UpDown10;
    QLabel* WatermarkLabel4;
    QLineEdit* Edit34;
    UpDownControl* UpDown11;
    QRadioButton* RadioButton19;
    QLabel* WatermarkLabel5;
    QComboBox* ComboBox1;
    QLabel* WatermarkLabel6;
    QComboBox* ComboBox2;
    QRadioButton* RadioButton23;
    QCheckBox* CheckBox37;
    QLineEdit* Edit35;
    QLabel* WatermarkLabel7;
    QLineEdit* Edit36;
    QLabel* WatermarkLabel8;
    QGroupBox* GroupBox11;
    QLabel* WatermarkLabel9;
    QLineEdit* Edit37;
    QToolButton* SpeedButton1;
    QLabel* WatermarkLabel10;
    QLabel* WatermarkLabel11;
    QLineEdit* Edit38;
    UpDownControl* UpDown14;
    QLabel* WatermarkLabel12;
    QLineEdit* Edit39;
    UpDownControl* UpDown15;
    QLabel* Label60;
    QLabel* Label61;
    QLabel* Label70;
    QSlider* TrackBar1;
    QLabel* Label71;
    QLabel* WatermarkLabel13;
    QLineEdit* Edit31;
    QPushButton* Button10;
    QPushButton* Button11;
    QPushButton* Button12;
};

}  // namespace quorlix
