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
    void Edit4Exit();
    void Edit22Exit();
    void RadioButton21Click();
    void RadioButton22Click();
    void Button27Click();
    void Button28Click();

private:
    void BuildOptionGroup();
    void BuildSizeControls(QWidget* group);
    void BuildMacroGroup(QWidget* group);
    // Puts an option set back into the controls (after a load of the stored defaults).
    void ShowOptions(const OptionSet& options);
    void LoadDefaults(LoadMode mode);
    // Runs the exit step of a size field that still has the focus.
    void NormaliseFocusedField() const;

    PageContext& context_;
    QGroupBox* GroupBox8;
    QLabel* GeneralLabel1;
    QCheckBox* CheckBox19;
    QLineEdit* Edit23;
    QLabel* GeneralLabel2;
    QComboBox* ComboBox4;
    QLabel* GeneralLabel3;
    QRadioButton* RadioButton21;
    QRadioButton* RadioButton22;
    QLabel* GeneralLabel4;
    QLineEdit* Edit4;
    UpDownControl* UpDown4;
    QLabel* GeneralLabel5;
    QLineEdit* Edit22;
    UpDownControl* UpDown5;
    QCheckBox* CheckBox2;
    QCheckBox* CheckBox25;
    QCheckBox* CheckBox42;
    QCheckBox* CheckBox41;
    QCheckBox* CheckBox26;
    QCheckBox* CheckBox43;
    QCheckBox* CheckBox3;
    QLineEdit* Edit24;
    QGroupBox* GroupBox13;
    QRadioButton* RadioButton20;
    QRadioButton* RadioButton24;
    QRadioButton* RadioButton25;
    QLabel* GeneralLabel6;
    QLineEdit* Edit30;
    QPushButton* Button27;
    QPushButton* Button28;
    QPushButton* Button29;
};

}  // namespace quorlix
