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
    Button27 = MakeButton(this, QStringLiteral("Button27"), QStringLiteral("Save as default"), 56,
                          440, 105, 25);
    Button28 = MakeButton(this, QStringLiteral("Button28"), QStringLiteral("Load from default"),
                          241, 440, 105, 25);
    Button29 =
        MakeButton(this, QStringLiteral("Button29"), QStringLiteral("Close"), 456, 440, 80, 25);
    for (QPushButton* button : {Button27, Button28}) {
        FitCaption(button);
    }
    connect(Button27, &QPushButton::clicked, this, &GeneralPage::Button27Click);
    connect(Button28, &QPushButton::clicked, this, &GeneralPage::Button28Click);
    connect(Button29, &QPushButton::clicked, this, &OptionPage::closeRequested);
}

void GeneralPage::BuildOptionGroup() {
    GroupBox8 =
        MakeGroup(this, QStringLiteral("GroupBox8"), QStringLiteral("Option:"), 8, 6, 567, 426);
    QWidget* g = GroupBox8;
    GeneralLabel1 =
        MakeLabel(g, QStringLiteral("GeneralLabel1"), QStringLiteral("Application title:"), 16, 28);
    CheckBox19 =
        MakeFittedCheckBox(g, "CheckBox19", QStringLiteral("Word File name"), 120, 26, true);
    Edit23 = MakeEdit(g, QStringLiteral("Edit23"),
                      QStringLiteral("-This Word document will help you"), 240, 24, 310);
    GeneralLabel2 =
        MakeLabel(g, QStringLiteral("GeneralLabel2"),
                  QStringLiteral("MS Word version required in target computer:"), 16, 60);
    ComboBox4 = new QComboBox(g);
    ComboBox4->setObjectName(QStringLiteral("ComboBox4"));
    ComboBox4->addItems({QStringLiteral("Word 2000 or above"), QStringLiteral("Word XP or above"),
                         QStringLiteral("Word 2003 or above"), QStringLiteral("Word 2007 or above"),
                         QStringLiteral("Word 2010 or above")});
    ComboBox4->setGeometry(260, 56, 170, 22);
    ComboBox4->setCurrentIndex(0);
    BuildSizeControls(g);

    CheckBox2 = MakeFittedCheckBox(
        g, "CheckBox2", QStringLiteral("Display Word in Maximized window when run"), 16, 150, true);
    CheckBox25 = MakeFittedCheckBox(
        g, "CheckBox25",
        QStringLiteral("Window is not resizable, users cannot change the window size"), 16, 176,
        false);
    CheckBox42 =
        MakeFittedCheckBox(g, "CheckBox42", QStringLiteral("Disable copy/paste"), 16, 202, true);
    CheckBox41 = MakeFittedCheckBox(
        g, "CheckBox41", QStringLiteral("Disable mouse right click popup menu"), 16, 228, true);
    CheckBox26 =
        MakeFittedCheckBox(g, "CheckBox26", QStringLiteral("Hide Word tool bar"), 300, 202, false);
    CheckBox26->hide();
    CheckBox43 = MakeFittedCheckBox(
        g, "CheckBox43", QStringLiteral("Allow save changes to another Word EXE"), 16, 254, false);
    CheckBox43->hide();
    CheckBox3 = MakeFittedCheckBox(g, "CheckBox3",
                                   QStringLiteral("Open website after closing the player window:"),
                                   16, 280, false);
    Edit24 = MakeEdit(g, QStringLiteral("Edit24"), QString::fromLatin1(OptionSet::kMakerWebAddress),
                      36, 304, 420);
    BuildMacroGroup(g);
}

void GeneralPage::BuildSizeControls(QWidget* g) {
    GeneralLabel3 =
        MakeLabel(g, QStringLiteral("GeneralLabel3"), QStringLiteral("Window size:"), 16, 92);
    RadioButton21 =
        MakeRadio(g, QStringLiteral("RadioButton21"), QStringLiteral("Same as Word size"), 120, 90);
    RadioButton22 = MakeRadio(g, QStringLiteral("RadioButton22"),
                              QStringLiteral("Custom window size"), 260, 90);
    RadioButton22->setChecked(true);
    RadioButton21->hide();
    RadioButton22->hide();
    connect(RadioButton21, &QRadioButton::clicked, this, &GeneralPage::RadioButton21Click);
    connect(RadioButton22, &QRadioButton::clicked, this, &GeneralPage::RadioButton22Click);

    GeneralLabel4 =
        MakeLabel(g, QStringLiteral("GeneralLabel4"), QStringLiteral("Width:"), 36, 117);
    Edit4 = MakeEdit(g, QStringLiteral("Edit4"), QStringLiteral("640"), 80, 114, 57);
    UpDown4 = MakeUpDown(*Edit4, QStringLiteral("UpDown4"), kSizeMinimum, kSizeMaximum);
    GeneralLabel5 =
        MakeLabel(g, QStringLiteral("GeneralLabel5"), QStringLiteral("Height:"), 180, 117);
    Edit22 = MakeEdit(g, QStringLiteral("Edit22"), QStringLiteral("480"), 226, 114, 57);
    UpDown5 = MakeUpDown(*Edit22, QStringLiteral("UpDown5"), kSizeMinimum, kSizeMaximum);
    new NumberEditFilter(Edit4, [this] { Edit4Exit(); });
    new NumberEditFilter(Edit22, [this] { Edit22Exit(); });
}

void GeneralPage::BuildMacroGroup(QWidget* g) {
    GroupBox13 = MakeGroup(g, QStringLiteral("GroupBox13"), QStringLiteral("Macro enabled option"),
                           16, 334, 535, 84);
    QWidget* m = GroupBox13;
    RadioButton20 = MakeRadio(m, QStringLiteral("RadioButton20"),
                              QStringLiteral("No matter macro is enabled "), 12, 18);
    RadioButton24 = MakeRadio(
        m, QStringLiteral("RadioButton24"),
        QStringLiteral("If macro is enabled, a message will popup and then exit."), 12, 38);
    RadioButton25 = MakeRadio(
        m, QStringLiteral("RadioButton25"),
        QStringLiteral("If macro is disabled, a message will popup and then exit."), 12, 58);
    RadioButton20->setChecked(true);
    GeneralLabel6 = MakeLabel(m, QStringLiteral("GeneralLabel6"),
                              QStringLiteral("Message:( if no message, leave it blank)"), 330, 18);
    Edit30 = MakeEdit(m, QStringLiteral("Edit30"), QStringLiteral("Please enable macro in MS Word"),
                      330, 36, 195);
    GroupBox13->hide();
}

void GeneralPage::Edit4Exit() {
    NormaliseSizeField(*Edit4, *UpDown4);
}

void GeneralPage::Edit22Exit() {
    NormaliseSizeField(*Edit22, *UpDown5);
}

void GeneralPage::RadioButton21Click() {
    const bool custom = !RadioButton21->isChecked();
    for (QWidget* control : {static_cast<QWidget*>(Edit4), static_cast<QWidget*>(UpDown4),
                             static_cast<QWidget*>(Edit22), static_cast<QWidget*>(UpDown5)}) {
        control->setEnabled(custom);
    }
}

void GeneralPage::RadioButton22Click() {
    RadioButton21Click();
}

void GeneralPage::NormaliseFocusedField() const {
    if (Edit4->hasFocus()) {
        NormaliseSizeField(*Edit4, *UpDown4);
    }
    if (Edit22->hasFocus()) {
        NormaliseSizeField(*Edit22, *UpDown5);
    }
}

void GeneralPage::FillOptions(OptionSet& o) const {
    NormaliseFocusedField();
    o.opfilename = CheckBox19->isChecked();
    o.opfiletitle = Edit23->text().toStdString();
    o.opwidth = Edit4->text().toStdString();
    o.opheigh = Edit22->text().toStdString();
    o.opmax = CheckBox2->isChecked();
    o.opifweb = CheckBox3->isChecked();
    o.opweb = Edit24->text().toStdString();
    o.opnoresi = CheckBox25->isChecked();
    o.ophidetool = CheckBox26->isChecked();
    o.opcomm = ComboBox4->currentIndex();
    o.opright = CheckBox41->isChecked();
    o.opcopy = CheckBox42->isChecked();
    o.opmacrob = RadioButton25->isChecked() ? 2 : RadioButton24->isChecked() ? 1 : 0;
    o.opmacrobme = Edit30->text().toStdString();
    o.opsave = CheckBox43->isChecked();
}

void GeneralPage::ShowOptions(const OptionSet& o) {
    CheckBox19->setChecked(o.opfilename);
    Edit23->setText(QString::fromStdString(o.opfiletitle));
    UpDown4->SetPosition(static_cast<int>(DecimalOr(QString::fromStdString(o.opwidth), 640)));
    UpDown5->SetPosition(static_cast<int>(DecimalOr(QString::fromStdString(o.opheigh), 480)));
    CheckBox2->setChecked(o.opmax);
    CheckBox3->setChecked(o.opifweb);
    Edit24->setText(QString::fromStdString(o.opweb));
    CheckBox25->setChecked(o.opnoresi);
    CheckBox26->setChecked(o.ophidetool);
    ComboBox4->setCurrentIndex(o.opcomm >= 0 && o.opcomm < ComboBox4->count() ? o.opcomm : -1);
    CheckBox41->setChecked(o.opright);
    CheckBox42->setChecked(o.opcopy);
    QRadioButton* macro[] = {RadioButton20, RadioButton24, RadioButton25};
    if (o.opmacrob >= 0 && o.opmacrob < 3) {
        macro[o.opmacrob]->setChecked(true);
    }
    Edit30->setText(QString::fromStdString(o.opmacrobme));
    CheckBox43->setChecked(o.opsave);
}

void GeneralPage::LoadDefaults(LoadMode mode) {
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
    LoadDefaults(LoadMode::Start);
}

void GeneralPage::Button28Click() {
    LoadDefaults(LoadMode::Button);
}

void GeneralPage::Button27Click() {
    RunDefaultsAction(this, context_.dialogs, [&](SettingsStore& store) {
        OptionSet options;
        FillOptions(options);
        SaveGeneralDefaults(store, options);
    });
}

}  // namespace quorlix
