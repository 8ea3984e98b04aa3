#include "options/watermark_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <exception>

#include "conversion/default_rules.h"
#include "imaging/image_loading.h"
#include "options/defaults_action.h"
#include "options/field_number.h"
#include "options/font_mapping.h"
#include "options/page_layout.h"
#include "platform/file_system.h"
#include "widgets/dialogs.h"
#include "widgets/number_edit.h"
#include "widgets/up_down.h"
#include "widgets/window_geometry.h"

namespace quorlix {

namespace {

const QString kWaterImagePrompt =
    QStringLiteral("Please click right button to select a image file->");
constexpr int kTextPositionMaximum = 10000;
constexpr int kImagePositionMaximum = 32767;
constexpr int kEverySecondsFallback = 60;
constexpr int kDisappearSecondsFallback = 5;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QCheckBox* MakeFittedCheckBox(QWidget* parent, const char* name, const QString& text, int left,
                              int top) {
    QCheckBox* box = MakeCheckBox(parent, QString::fromLatin1(name), text, left, top, 0, 17);
    FitCaption(box);
    return box;
}

QLabel* Label(QWidget* parent, const char* name, const QString& text, int left, int top) {
    return MakeLabel(parent, QString::fromLatin1(name), text, left, top);
}

// The checked button's index in a group of three, 0 when none is checked.
int CheckedIndex(const QButtonGroup& group) {
    return std::max(group.checkedId(), 0);
}

// The exit steps: a position field clamped by its arrows, a seconds field as a plain number.
void ExitPositionField(QLineEdit& edit, UpDownControl& arrows) {
    arrows.SetPosition(static_cast<int>(
        std::clamp<long long>(FieldNumber(edit.text(), 0), arrows.minimum(), arrows.maximum())));
}

void ExitSecondsField(QLineEdit& edit, int fallback) {
    edit.setText(Q(NumberText(edit.text().toStdString(), fallback)));
}

void CheckIndex(QButtonGroup& group, int index) {
    if (QAbstractButton* button = group.button(index)) {
        button->setChecked(true);
    }
}

}  // namespace

WatermarkPage::WatermarkPage(PageContext& context, QWidget* parent)
    : OptionPage(parent),
      context_(context),
      waterFont_(DefaultWaterFont()),
      background_(OptionSet().watercolor) {
    setObjectName(QStringLiteral("WatermarkPage"));
    BuildKindButtons();
    BuildTextGroup();
    BuildImageGroup();
    BuildWebAndButtons();
    ShowWatermarkLook();
}

void WatermarkPage::BuildKindButtons() {
    RadioButton16 =
        MakeRadio(this, QStringLiteral("RadioButton16"), QStringLiteral("No watermark"), 16, 6);
    RadioButton14 = MakeRadio(this, QStringLiteral("RadioButton14"),
                              QStringLiteral("Text string waterwark"), 160, 6);
    RadioButton15 =
        MakeRadio(this, QStringLiteral("RadioButton15"), QStringLiteral("Image watermark"), 340, 6);
    kindGroup_ = new QButtonGroup(this);
    kindGroup_->addButton(RadioButton16, 0);
    kindGroup_->addButton(RadioButton14, 1);
    kindGroup_->addButton(RadioButton15, 2);
    RadioButton16->setChecked(true);
}

void WatermarkPage::BuildTextGroup() {
    GroupBox10 = MakeGroup(this, QStringLiteral("GroupBox10"), QString(), 8, 28, 567, 228);
    QWidget* g = GroupBox10;
    WatermarkLabel1 = Label(g, "WatermarkLabel1", QStringLiteral("Watermark text:"), 12, 16);
    Edit32 = MakeEdit(g, QStringLiteral("Edit32"),
                      QStringLiteral("Please input your watermark here!"), 110, 10, 440);
    Edit32->setFixedHeight(28);
    BitBtn6 =
        MakeButton(g, QStringLiteral("BitBtn6"), QStringLiteral("Select Font"), 110, 44, 90, 25);
    BitBtn8 =
        MakeButton(g, QStringLiteral("BitBtn8"), QStringLiteral("Font color"), 210, 44, 90, 25);
    BitBtn7 = MakeButton(g, QStringLiteral("BitBtn7"), QStringLiteral("Background color"), 310, 44,
                         110, 25);
    for (QPushButton* button : {BitBtn6, BitBtn8, BitBtn7}) {
        FitCaption(button);
    }
    connect(BitBtn6, &QPushButton::clicked, this, &WatermarkPage::BitBtn6Click);
    connect(BitBtn8, &QPushButton::clicked, this, &WatermarkPage::BitBtn8Click);
    connect(BitBtn7, &QPushButton::clicked, this, &WatermarkPage::BitBtn7Click);
    CheckBox28 =
        MakeFittedCheckBox(g, "CheckBox28", QStringLiteral("Background transparent"), 434, 48);
    CheckBox28->hide();
    BuildTextPosition(g);
    BuildTiming(g);
}

void WatermarkPage::BuildTextPosition(QWidget* g) {
    RadioButton18 =
        MakeRadio(g, QStringLiteral("RadioButton18"), QStringLiteral("Custom position"), 12, 80);
    WatermarkLabel2 =
        Label(g, "WatermarkLabel2", QStringLiteral("Watermark position size(pixels):"), 150, 82);
    WatermarkLabel3 = Label(g, "WatermarkLabel3", QStringLiteral("Left:"), 32, 107);
    Edit33 = MakeEdit(g, QStringLiteral("Edit33"), QStringLiteral("0"), 70, 104, 50);
    UpDown10 = MakeUpDown(*Edit33, QStringLiteral("UpDown10"), 0, kTextPositionMaximum);
    WatermarkLabel4 = Label(g, "WatermarkLabel4", QStringLiteral("Top:"), 160, 107);
    Edit34 = MakeEdit(g, QStringLiteral("Edit34"), QStringLiteral("0"), 196, 104, 50);
    UpDown11 = MakeUpDown(*Edit34, QStringLiteral("UpDown11"), 0, kTextPositionMaximum);

    RadioButton19 =
        MakeRadio(g, QStringLiteral("RadioButton19"), QStringLiteral("Relative position"), 12, 134);
    WatermarkLabel5 = Label(g, "WatermarkLabel5", QStringLiteral("Horizontal:"), 32, 161);
    ComboBox1 = new QComboBox(g);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems(
        {QStringLiteral("Left"), QStringLiteral("Center"), QStringLiteral("Right")});
    ComboBox1->setGeometry(100, 157, 90, 22);
    WatermarkLabel6 = Label(g, "WatermarkLabel6", QStringLiteral("Vertical:"), 220, 161);
    ComboBox2 = new QComboBox(g);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->addItems(
        {QStringLiteral("Top"), QStringLiteral("Center"), QStringLiteral("Bottom")});
    ComboBox2->setGeometry(276, 157, 90, 22);
    RadioButton23 =
        MakeRadio(g, QStringLiteral("RadioButton23"), QStringLiteral("Random position"), 400, 134);
    positionGroup_ = new QButtonGroup(this);
    positionGroup_->addButton(RadioButton18, 0);
    positionGroup_->addButton(RadioButton19, 1);
    positionGroup_->addButton(RadioButton23, 2);
    RadioButton18->setChecked(true);
    new NumberEditFilter(Edit33, [this] { Edit33Exit(); });
    new NumberEditFilter(Edit34, [this] { Edit34Exit(); });
}

void WatermarkPage::BuildTiming(QWidget* g) {
    CheckBox37 =
        MakeFittedCheckBox(g, "CheckBox37", QStringLiteral("Watermark will appear every"), 12, 196);
    const int afterBox = CheckBox37->x() + CheckBox37->width() + 6;
    Edit35 = MakeEdit(g, QStringLiteral("Edit35"), QStringLiteral("60"), afterBox, 194, 40);
    WatermarkLabel7 = Label(g, "WatermarkLabel7", QStringLiteral("seconds and disappear after"),
                            afterBox + 46, 197);
    const int afterText = WatermarkLabel7->x() + WatermarkLabel7->width() + 6;
    Edit36 = MakeEdit(g, QStringLiteral("Edit36"), QStringLiteral("5"), afterText, 194, 40);
    WatermarkLabel8 = Label(g, "WatermarkLabel8", QStringLiteral("seconds"), afterText + 46, 197);
    new NumberEditFilter(Edit35, [this] { Edit35Exit(); });
    new NumberEditFilter(Edit36, [this] { Edit36Exit(); });
}

void WatermarkPage::BuildImageGroup() {
    GroupBox11 = MakeGroup(this, QStringLiteral("GroupBox11"), QString(), 8, 262, 567, 112);
    QWidget* g = GroupBox11;
    WatermarkLabel9 = Label(g, "WatermarkLabel9", QStringLiteral("Image source file:"), 12, 16);
    Edit37 = MakeEdit(g, QStringLiteral("Edit37"), kWaterImagePrompt, 110, 12, 416);
    Edit37->setReadOnly(true);
    SpeedButton1 = new QToolButton(g);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setGeometry(528, 11, 22, 22);
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    connect(SpeedButton1, &QToolButton::clicked, this, &WatermarkPage::SpeedButton1Click);

    WatermarkLabel10 =
        Label(g, "WatermarkLabel10", QStringLiteral("Image watermark position((pixels):"), 12, 46);
    WatermarkLabel11 = Label(g, "WatermarkLabel11", QStringLiteral("Left:"), 220, 46);
    Edit38 = MakeEdit(g, QStringLiteral("Edit38"), QStringLiteral("0"), 256, 43, 50);
    UpDown14 = MakeUpDown(*Edit38, QStringLiteral("UpDown14"), 0, kImagePositionMaximum);
    WatermarkLabel12 = Label(g, "WatermarkLabel12", QStringLiteral("Top:"), 346, 46);
    Edit39 = MakeEdit(g, QStringLiteral("Edit39"), QStringLiteral("0"), 382, 43, 50);
    UpDown15 = MakeUpDown(*Edit39, QStringLiteral("UpDown15"), 0, kImagePositionMaximum);
    new NumberEditFilter(Edit38, {});
    new NumberEditFilter(Edit39, {});

    Label60 = Label(g, "Label60", QStringLiteral("Width: 0"), 12, 80);
    Label61 = Label(g, "Label61", QStringLiteral("Height:  0"), 130, 80);
    Label70 = Label(g, "Label70", QStringLiteral("Image transparent:"), 260, 80);
    TrackBar1 = new QSlider(Qt::Horizontal, g);
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar1->setRange(0, 100);
    TrackBar1->setGeometry(370, 76, 130, 22);
    Label71 = Label(g, "Label71", QStringLiteral("0%"), 510, 80);
    for (QWidget* hidden : {static_cast<QWidget*>(Label70), static_cast<QWidget*>(TrackBar1),
                            static_cast<QWidget*>(Label71)}) {
        hidden->hide();
    }
    connect(TrackBar1, &QSlider::valueChanged, this, &WatermarkPage::TrackBar1Change);
}

void WatermarkPage::BuildWebAndButtons() {
    WatermarkLabel13 =
        Label(this, "WatermarkLabel13",
              QStringLiteral(
                  "Nagivate to website when mouse click watermark, if not, please leave it blank:"),
              10, 384);
    Edit31 = MakeEdit(this, QStringLiteral("Edit31"),
                      QString::fromLatin1(OptionSet::kMakerWebAddress), 10, 402, 563);
    Button10 = MakeButton(this, QStringLiteral("Button10"), QStringLiteral("Save as default"), 56,
                          440, 105, 25);
    Button11 = MakeButton(this, QStringLiteral("Button11"), QStringLiteral("Load from default"),
                          241, 440, 105, 25);
    Button12 =
        MakeButton(this, QStringLiteral("Button12"), QStringLiteral("Close"), 456, 440, 80, 25);
    for (QPushButton* button : {Button10, Button11}) {
        FitCaption(button);
    }
    connect(Button10, &QPushButton::clicked, this, &WatermarkPage::Button10Click);
    connect(Button11, &QPushButton::clicked, this, &WatermarkPage::Button11Click);
    connect(Button12, &QPushButton::clicked, this, &OptionPage::closeRequested);
}

void WatermarkPage::ShowWatermarkLook() {
    Edit32->setFont(ScreenFont(waterFont_));
    QPalette look = Edit32->palette();
    look.setColor(QPalette::Text, ScreenColour(waterFont_.color));
    look.setColor(QPalette::Base, ScreenColour(background_));
    Edit32->setPalette(look);
}

void WatermarkPage::BitBtn6Click() {
    const auto chosen = context_.dialogs.ChooseFont(this, fontDialogChoice_);
    if (!chosen) {
        return;
    }
    fontDialogChoice_ = *chosen;
    waterFont_ = FontRecordOf(*chosen, Edit32->logicalDpiY(), waterFont_);
    ShowWatermarkLook();
}

void WatermarkPage::BitBtn8Click() {
    if (const auto colour = context_.dialogs.ChooseColor(this, ScreenColour(waterFont_.color))) {
        waterFont_.color = ColourValue(*colour);
        ShowWatermarkLook();
    }
}

void WatermarkPage::BitBtn7Click() {
    if (const auto colour = context_.dialogs.ChooseColor(this, ScreenColour(background_))) {
        background_ = ColourValue(*colour);
        ShowWatermarkLook();
    }
}

void WatermarkPage::SpeedButton1Click() {
    const QString path = context_.dialogs.OpenFile(
        this,
        {QString(), QStringLiteral("JPEG Image File (*.jpg;*.jpeg)|*.jpg;*.jpeg"), QString()});
    if (path.isEmpty()) {
        return;
    }
    try {
        const RgbaImage image = LoadJpegFile(path.toStdString());
        Label60->setText(QStringLiteral("Width: %1").arg(image.width));
        Label61->setText(QStringLiteral("Height: %1").arg(image.height));
        FitCaption(Label60);
        FitCaption(Label61);
    } catch (const std::exception&) {
        context_.dialogs.ShowMessage(this, QStringLiteral("Error Image file format!"));
    }
    Edit37->setText(path);
    Edit37->setCursorPosition(0);
}

void WatermarkPage::Edit33Exit() {
    ExitPositionField(*Edit33, *UpDown10);
}

void WatermarkPage::Edit34Exit() {
    ExitPositionField(*Edit34, *UpDown11);
}

void WatermarkPage::Edit35Exit() {
    ExitSecondsField(*Edit35, kEverySecondsFallback);
}

void WatermarkPage::Edit36Exit() {
    ExitSecondsField(*Edit36, kDisappearSecondsFallback);
}

void WatermarkPage::TrackBar1Change(int position) {
    Label71->setText(QStringLiteral("%1%").arg(position));
    FitCaption(Label71);
}

void WatermarkPage::NormaliseFocusedField() const {
    if (Edit33->hasFocus()) {
        ExitPositionField(*Edit33, *UpDown10);
    } else if (Edit34->hasFocus()) {
        ExitPositionField(*Edit34, *UpDown11);
    } else if (Edit35->hasFocus()) {
        ExitSecondsField(*Edit35, kEverySecondsFallback);
    } else if (Edit36->hasFocus()) {
        ExitSecondsField(*Edit36, kDisappearSecondsFallback);
    }
}

void WatermarkPage::FillOptions(OptionSet& o) const {
    NormaliseFocusedField();
    o.watertype = CheckedIndex(*kindGroup_);
    o.waterweb = Edit31->text().toStdString();
    o.watertext = Edit32->text().toStdString();
    o.waterleft1 = Edit33->text().toStdString();
    o.watertop1 = Edit34->text().toStdString();
    o.watereverysecond = Edit35->text().toStdString();
    o.wateredissecond = Edit36->text().toStdString();
    o.waterstringtrans = CheckBox28->isChecked();
    o.waterfont = waterFont_;
    o.watercolor = background_;
    o.waterstringposition = CheckedIndex(*positionGroup_);
    o.waterhasdis = CheckBox37->isChecked();
    o.waterstringhr = ComboBox1->currentIndex();
    o.waterstringver = ComboBox2->currentIndex();
    o.waterimagefile = Edit37->text().toStdString();
    o.waterleft2 = Edit38->text().toStdString();
    o.watertop2 = Edit39->text().toStdString();
    o.waterimagetrans = TrackBar1->value();
}

void WatermarkPage::ShowOptions(const OptionSet& o) {
    CheckIndex(*kindGroup_, o.watertype);
    Edit32->setText(Q(o.watertext));
    UpDown10->SetPosition(static_cast<int>(DecimalOr(Q(o.waterleft1), 0)));
    UpDown11->SetPosition(static_cast<int>(DecimalOr(Q(o.watertop1), 0)));
    Edit37->setText(Q(o.waterimagefile));
    CheckBox28->setChecked(o.waterstringtrans);
    UpDown14->SetPosition(static_cast<int>(DecimalOr(Q(o.waterleft2), 0)));
    UpDown15->SetPosition(static_cast<int>(DecimalOr(Q(o.watertop2), 0)));
    Edit31->setText(Q(o.waterweb));
    waterFont_ = o.waterfont;
    background_ = o.watercolor;
    ShowWatermarkLook();
    Edit35->setText(Q(o.watereverysecond));
    Edit36->setText(Q(o.wateredissecond));
    CheckIndex(*positionGroup_, o.waterstringposition);
    ComboBox1->setCurrentIndex(o.waterstringhr >= 0 && o.waterstringhr < 3 ? o.waterstringhr : -1);
    ComboBox2->setCurrentIndex(o.waterstringver >= 0 && o.waterstringver < 3 ? o.waterstringver
                                                                             : -1);
    CheckBox37->setChecked(o.waterhasdis);
}

void WatermarkPage::LoadPage(LoadMode mode) {
    RunDefaultsAction(this, context_.dialogs, [&](SettingsStore& store) {
        OptionSet options;
        FillOptions(options);
        try {
            LoadWatermarkDefaults(store, options, mode);
        } catch (...) {
            ShowOptions(options);
            throw;
        }
        ShowOptions(options);
    });
    CheckImageFile();
}

void WatermarkPage::CheckImageFile() {
    const std::string path = Edit37->text().toStdString();
    if (!FileExists(path)) {
        ShowNoImage();
        return;
    }
    try {
        const RgbaImage image = LoadJpegFile(path);
        Label60->setText(QStringLiteral("Width: %1").arg(image.width));
        Label61->setText(QStringLiteral("Height: %1").arg(image.height));
        FitCaption(Label60);
        FitCaption(Label61);
    } catch (const std::exception&) {
        ShowNoImage();
    }
}

void WatermarkPage::ShowNoImage() {
    Edit37->setText(kWaterImagePrompt);
    Edit37->setCursorPosition(0);
    Label60->setText(QStringLiteral("Width: 0"));
    Label61->setText(QStringLiteral("Height: 0"));
}

void WatermarkPage::LoadFromDefaults() {
    LoadPage(LoadMode::Start);
}

void WatermarkPage::Button11Click() {
    LoadPage(LoadMode::Button);
}

void WatermarkPage::Button10Click() {
    RunDefaultsAction(this, context_.dialogs, [&](SettingsStore& store) {
        OptionSet options;
        FillOptions(options);
        SaveWatermarkDefaults(store, options);
    });
}

bool WatermarkPage::ImageWatermarkFileMissing() const {
    return RadioButton15->isChecked() && !FileExists(Edit37->text().toStdString());
}

void WatermarkPage::FocusImageFile() {
    Edit37->setFocus();
}

}  // namespace quorlix
