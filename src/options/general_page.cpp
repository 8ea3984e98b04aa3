#include "options/general_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "options/defaults_action.h"
#include "options/field_number.h"
#include "options/page_layout.h"
#include "widgets/number_edit.h"
#include "widgets/up_down.h"
#include "widgets/window_geometry.h"

namespace quorlix {

namespace {

constexpr int kSizeMinimum = 10;
constexpr int kSizeMaximum = 32767;
// What a size field holds when it is left with no number in it.
constexpr int kSizeFallback = 100;

QCheckBox* MakeFittedCheckBox(QWidget* parent, const char* name, const QString& text, int left,
                              int top, bool checked) {
    QCheckBox* box = MakeCheckBox(parent, QString::fromLatin1(name), text, left, top, 0, 17);
    FitCaption(box);
    box->setChecked(checked);
    return box;
}

void NormaliseSizeField(QLineEdit& edit, UpDownControl& arrows) {
    const long long number = FieldNumber(edit.text(), kSizeFallback);
    edit.setText(QString::number(number));
    arrows.SetPosition(static_cast<int>(std::clamp<long long>(number, kSizeMinimum, kSizeMaximum)));
}

}  // namespace

GeneralPage::GeneralPage(PageContext& context, QWidget* parent)
    : OptionPage(parent), context_(context) {
    setObjectName(QStringLiteral("GeneralPage"));
    BuildOptionGroup();
    generalSaveDefaultsButton_ = MakeButton(this, QStringLiteral("generalSaveDefaultsButton"),
                                            QStringLiteral("Save as default"), 56, 440, 105, 25);
    generalLoadDefaultsButton_ = MakeButton(this, QStringLiteral("generalLoadDefaultsButton"),
                                            QStringLiteral("Load from default"), 241, 440, 105, 25);
    generalCloseButton_ = MakeButton(this, QStringLiteral("generalCloseButton"),
                                     QStringLiteral("Close"), 456, 440, 80, 25);
    for (QPushButton* button : {generalSaveDefaultsButton_, generalLoadDefaultsButton_}) {
        FitCaption(button);
    }
    connect(generalSaveDefaultsButton_, &QPushButton::clicked, this, &GeneralPage::saveDefaults);
    connect(generalLoadDefaultsButton_, &QPushButton::clicked, this, &GeneralPage::loadDefaults);
    connect(generalCloseButton_, &QPushButton::clicked, this, &OptionPage::closeRequested);
}

void GeneralPage::BuildOptionGroup() {
    optionGroup_ =
        MakeGroup(this, QStringLiteral("optionGroup"), QStringLiteral("Option:"), 8, 6, 567, 426);
    QWidget* g = optionGroup_;
    titleLabel_ =
        MakeLabel(g, QStringLiteral("titleLabel"), QStringLiteral("Application title:"), 16, 28);
    titleFileNameCheckBox_ = MakeFittedCheckBox(g, "titleFileNameCheckBox",
                                                QStringLiteral("Word File name"), 120, 26, true);
    titleEdit_ = MakeEdit(g, QStringLiteral("titleEdit"),
                          QStringLiteral("-This Word document will help you"), 240, 24, 310);
    wordVersionLabel_ =
        MakeLabel(g, QStringLiteral("wordVersionLabel"),
                  QStringLiteral("MS Word version required in target computer:"), 16, 60);
    wordVersionComboBox_ = new QComboBox(g);
    wordVersionComboBox_->setObjectName(QStringLiteral("wordVersionComboBox"));
    wordVersionComboBox_->addItems(
        {QStringLiteral("Word 2000 or above"), QStringLiteral("Word XP or above"),
         QStringLiteral("Word 2003 or above"), QStringLiteral("Word 2007 or above"),
         QStringLiteral("Word 2010 or above")});
    wordVersionComboBox_->setGeometry(260, 56, 170, 22);
    wordVersionComboBox_->setCurrentIndex(0);
    NameControl(titleEdit_, QStringLiteral("Application title"), titleLabel_);
    NameControl(wordVersionComboBox_, QStringLiteral("MS Word version required in target computer"),
                wordVersionLabel_);
    BuildSizeControls(g);

    maximizedCheckBox_ = MakeFittedCheckBox(
        g, "maximizedCheckBox", QStringLiteral("Display Word in Maximized window when run"), 16,
        150, true);
    fixedSizeCheckBox_ = MakeFittedCheckBox(
        g, "fixedSizeCheckBox",
        QStringLiteral("Window is not resizable, users cannot change the window size"), 16, 176,
        false);
    disableCopyCheckBox_ = MakeFittedCheckBox(g, "disableCopyCheckBox",
                                              QStringLiteral("Disable copy/paste"), 16, 202, true);
    disableRightClickCheckBox_ =
        MakeFittedCheckBox(g, "disableRightClickCheckBox",
                           QStringLiteral("Disable mouse right click popup menu"), 16, 228, true);
    hideToolBarCheckBox_ = MakeFittedCheckBox(
        g, "hideToolBarCheckBox", QStringLiteral("Hide Word tool bar"), 300, 202, false);
    hideToolBarCheckBox_->hide();
    allowSaveCheckBox_ = MakeFittedCheckBox(
        g, "allowSaveCheckBox", QStringLiteral("Allow save changes to another Word EXE"), 16, 254,
        false);
    allowSaveCheckBox_->hide();
    openWebsiteCheckBox_ = MakeFittedCheckBox(
        g, "openWebsiteCheckBox", QStringLiteral("Open website after closing the player window:"),
        16, 280, false);
    websiteEdit_ = MakeEdit(g, QStringLiteral("websiteEdit"),
                            QString::fromLatin1(OptionSet::kMakerWebAddress), 36, 304, 420);
    NameControl(websiteEdit_, QStringLiteral("Website opened after closing the player window"));
    BuildMacroGroup(g);
}

void GeneralPage::BuildSizeControls(QWidget* g) {
    windowSizeLabel_ =
        MakeLabel(g, QStringLiteral("windowSizeLabel"), QStringLiteral("Window size:"), 16, 92);
    wordSizeRadio_ =
        MakeRadio(g, QStringLiteral("wordSizeRadio"), QStringLiteral("Same as Word size"), 120, 90);
    customSizeRadio_ = MakeRadio(g, QStringLiteral("customSizeRadio"),
                                 QStringLiteral("Custom window size"), 260, 90);
    customSizeRadio_->setChecked(true);
    wordSizeRadio_->hide();
    customSizeRadio_->hide();
    connect(wordSizeRadio_, &QRadioButton::clicked, this, &GeneralPage::sizeModeClicked);
    connect(customSizeRadio_, &QRadioButton::clicked, this, &GeneralPage::sizeModeClicked);

    widthLabel_ = MakeLabel(g, QStringLiteral("widthLabel"), QStringLiteral("Width:"), 36, 117);
    widthEdit_ = MakeEdit(g, QStringLiteral("widthEdit"), QStringLiteral("640"), 80, 114, 57);
    widthUpDown_ =
        MakeUpDown(*widthEdit_, QStringLiteral("widthUpDown"), kSizeMinimum, kSizeMaximum);
    heightLabel_ = MakeLabel(g, QStringLiteral("heightLabel"), QStringLiteral("Height:"), 180, 117);
    heightEdit_ = MakeEdit(g, QStringLiteral("heightEdit"), QStringLiteral("480"), 226, 114, 57);
    heightUpDown_ =
        MakeUpDown(*heightEdit_, QStringLiteral("heightUpDown"), kSizeMinimum, kSizeMaximum);
    NameNumberField(*widthEdit_, widthUpDown_, QStringLiteral("Width"), widthLabel_);
    NameNumberField(*heightEdit_, heightUpDown_, QStringLiteral("Height"), heightLabel_);
    new NumberEditFilter(widthEdit_, [this] { normaliseWidth(); });
    new NumberEditFilter(heightEdit_, [this] { normaliseHeight(); });
}

void GeneralPage::BuildMacroGroup(QWidget* g) {
    macroGroup_ = MakeGroup(g, QStringLiteral("macroGroup"), QStringLiteral("Macro enabled option"),
                            16, 334, 535, 84);
    QWidget* m = macroGroup_;
    ignoreMacroRadio_ = MakeRadio(m, QStringLiteral("ignoreMacroRadio"),
                                  QStringLiteral("No matter macro is enabled "), 12, 18);
    exitIfMacroEnabledRadio_ = MakeRadio(
        m, QStringLiteral("exitIfMacroEnabledRadio"),
        QStringLiteral("If macro is enabled, a message will popup and then exit."), 12, 38);
    exitIfMacroDisabledRadio_ = MakeRadio(
        m, QStringLiteral("exitIfMacroDisabledRadio"),
        QStringLiteral("If macro is disabled, a message will popup and then exit."), 12, 58);
    ignoreMacroRadio_->setChecked(true);
    macroMessageLabel_ =
        MakeLabel(m, QStringLiteral("macroMessageLabel"),
                  QStringLiteral("Message:( if no message, leave it blank)"), 330, 18);
    macroMessageEdit_ = MakeEdit(m, QStringLiteral("macroMessageEdit"),
                                 QStringLiteral("Please enable macro in MS Word"), 330, 36, 195);
    NameControl(macroMessageEdit_, QStringLiteral("Message"), macroMessageLabel_);
    macroGroup_->hide();
}

void GeneralPage::normaliseWidth() {
    NormaliseSizeField(*widthEdit_, *widthUpDown_);
}

void GeneralPage::normaliseHeight() {
    NormaliseSizeField(*heightEdit_, *heightUpDown_);
}

void GeneralPage::sizeModeClicked() {
    const bool custom = !wordSizeRadio_->isChecked();
    for (QWidget* control :
         {static_cast<QWidget*>(widthEdit_), static_cast<QWidget*>(widthUpDown_),
          static_cast<QWidget*>(heightEdit_), static_cast<QWidget*>(heightUpDown_)}) {
        control->setEnabled(custom);
    }
}

void GeneralPage::NormaliseFocusedField() const {
    if (widthEdit_->hasFocus()) {
        NormaliseSizeField(*widthEdit_, *widthUpDown_);
    }
    if (heightEdit_->hasFocus()) {
        NormaliseSizeField(*heightEdit_, *heightUpDown_);
    }
}

void GeneralPage::FillOptions(OptionSet& o) const {
    NormaliseFocusedField();
    o.opfilename = titleFileNameCheckBox_->isChecked();
    o.opfiletitle = titleEdit_->text().toStdString();
    o.opwidth = widthEdit_->text().toStdString();
    o.opheigh = heightEdit_->text().toStdString();
    o.opmax = maximizedCheckBox_->isChecked();
    o.opifweb = openWebsiteCheckBox_->isChecked();
    o.opweb = websiteEdit_->text().toStdString();
    o.opnoresi = fixedSizeCheckBox_->isChecked();
    o.ophidetool = hideToolBarCheckBox_->isChecked();
    o.opcomm = wordVersionComboBox_->currentIndex();
    o.opright = disableRightClickCheckBox_->isChecked();
    o.opcopy = disableCopyCheckBox_->isChecked();
    o.opmacrob = exitIfMacroDisabledRadio_->isChecked()  ? 2
                 : exitIfMacroEnabledRadio_->isChecked() ? 1
                                                         : 0;
    o.opmacrobme = macroMessageEdit_->text().toStdString();
    o.opsave = allowSaveCheckBox_->isChecked();
}

void GeneralPage::ShowOptions(const OptionSet& o) {
    titleFileNameCheckBox_->setChecked(o.opfilename);
    titleEdit_->setText(QString::fromStdString(o.opfiletitle));
    widthUpDown_->SetPosition(static_cast<int>(DecimalOr(QString::fromStdString(o.opwidth), 640)));
    heightUpDown_->SetPosition(static_cast<int>(DecimalOr(QString::fromStdString(o.opheigh), 480)));
    maximizedCheckBox_->setChecked(o.opmax);
    openWebsiteCheckBox_->setChecked(o.opifweb);
    websiteEdit_->setText(QString::fromStdString(o.opweb));
    fixedSizeCheckBox_->setChecked(o.opnoresi);
    hideToolBarCheckBox_->setChecked(o.ophidetool);
    wordVersionComboBox_->setCurrentIndex(
        o.opcomm >= 0 && o.opcomm < wordVersionComboBox_->count() ? o.opcomm : -1);
    disableRightClickCheckBox_->setChecked(o.opright);
    disableCopyCheckBox_->setChecked(o.opcopy);
    QRadioButton* macro[] = {ignoreMacroRadio_, exitIfMacroEnabledRadio_,
                             exitIfMacroDisabledRadio_};
    if (o.opmacrob >= 0 && o.opmacrob < 3) {
        macro[o.opmacrob]->setChecked(true);
    }
    macroMessageEdit_->setText(QString::fromStdString(o.opmacrobme));
    allowSaveCheckBox_->setChecked(o.opsave);
}

void GeneralPage::LoadStoredDefaults(LoadMode mode) {
    RunDefaultsAction(this, context_.dialogs, [&](SettingsStore& store) {
        OptionSet options;
        FillOptions(options);
        try {
            LoadGeneralDefaults(store, options, mode);
        } catch (...) {
            ShowOptions(options);
            throw;
        }
        ShowOptions(options);
    });
}

void GeneralPage::LoadFromDefaults() {
    LoadStoredDefaults(LoadMode::Start);
}

void GeneralPage::loadDefaults() {
    LoadStoredDefaults(LoadMode::Button);
}

void GeneralPage::saveDefaults() {
    RunDefaultsAction(this, context_.dialogs, [&](SettingsStore& store) {
        OptionSet options;
        FillOptions(options);
        SaveGeneralDefaults(store, options);
    });
}

}  // namespace quorlix
