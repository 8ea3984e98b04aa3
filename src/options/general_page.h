#pragma once

#include "conversion/page_defaults.h"
#include "options/option_page.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quorlix {

class UpDownControl;

// The "General option" page: window title, Word version, window size and behaviour, the web
// page opened after closing, and the hidden macro options.
class GeneralPage : public OptionPage {
    Q_OBJECT

public:
    GeneralPage(PageContext& context, QWidget* parent = nullptr);

    void FillOptions(OptionSet& options) const override;
    void LoadFromDefaults() override;

public slots:
    void normaliseWidth();
    void normaliseHeight();
    // Either window size button: "Same as Word size" disables the size fields.
    void sizeModeClicked();
    void saveDefaults();
    void loadDefaults();

private:
    void BuildOptionGroup();
    void BuildSizeControls(QWidget* group);
    void BuildMacroGroup(QWidget* group);
    // Puts an option set back into the controls (after a load of the stored defaults).
    void ShowOptions(const OptionSet& options);
    void LoadStoredDefaults(LoadMode mode);
    // Runs the exit step of a size field that still has the focus.
    void NormaliseFocusedField() const;

    PageContext& context_;
    QGroupBox* optionGroup_;
    QLabel* titleLabel_;
    QCheckBox* titleFileNameCheckBox_;
    QLineEdit* titleEdit_;
    QLabel* wordVersionLabel_;
    QComboBox* wordVersionComboBox_;
    QLabel* windowSizeLabel_;
    QRadioButton* wordSizeRadio_;
    QRadioButton* customSizeRadio_;
    QLabel* widthLabel_;
    QLineEdit* widthEdit_;
    UpDownControl* widthUpDown_;
    QLabel* heightLabel_;
    QLineEdit* heightEdit_;
    UpDownControl* heightUpDown_;
    QCheckBox* maximizedCheckBox_;
    QCheckBox* fixedSizeCheckBox_;
    QCheckBox* disableCopyCheckBox_;
    QCheckBox* disableRightClickCheckBox_;
    QCheckBox* hideToolBarCheckBox_;
    QCheckBox* allowSaveCheckBox_;
    QCheckBox* openWebsiteCheckBox_;
    QLineEdit* websiteEdit_;
    QGroupBox* macroGroup_;
    QRadioButton* ignoreMacroRadio_;
    QRadioButton* exitIfMacroEnabledRadio_;
    QRadioButton* exitIfMacroDisabledRadio_;
    QLabel* macroMessageLabel_;
    QLineEdit* macroMessageEdit_;
    QPushButton* generalSaveDefaultsButton_;
    QPushButton* generalLoadDefaultsButton_;
    QPushButton* generalCloseButton_;
};

}  // namespace quorlix
