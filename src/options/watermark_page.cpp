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
    noWatermarkRadio_ =
        MakeRadio(this, QStringLiteral("noWatermarkRadio"), QStringLiteral("No watermark"), 16, 6);
    textWatermarkRadio_ = MakeRadio(this, QStringLiteral("textWatermarkRadio"),
                                    QStringLiteral("Text string waterwark"), 160, 6);
    imageWatermarkRadio_ = MakeRadio(this, QStringLiteral("imageWatermarkRadio"),
                                     QStringLiteral("Image watermark"), 340, 6);
    kindGroup_ = new QButtonGroup(this);
    kindGroup_->addButton(noWatermarkRadio_, 0);
    kindGroup_->addButton(textWatermarkRadio_, 1);
    kindGroup_->addButton(imageWatermarkRadio_, 2);
    noWatermarkRadio_->setChecked(true);
}

void WatermarkPage::BuildTextGroup() {
    textGroup_ = MakeGroup(this, QStringLiteral("textGroup"), QString(), 8, 28, 567, 228);
    QWidget* g = textGroup_;
    watermarkTextLabel_ = Label(g, "watermarkTextLabel", QStringLiteral("Watermark text:"), 12, 16);
    watermarkTextEdit_ =
        MakeEdit(g, QStringLiteral("watermarkTextEdit"),
                 QStringLiteral("Please input your watermark here!"), 110, 10, 440);
    watermarkTextEdit_->setFixedHeight(28);
    NameControl(watermarkTextEdit_, QStringLiteral("Watermark text"), watermarkTextLabel_);
    NameControl(textGroup_, QStringLiteral("Text watermark"));
    selectFontButton_ = MakeButton(g, QStringLiteral("selectFontButton"),
                                   QStringLiteral("Select Font"), 110, 44, 90, 25);
    fontColourButton_ = MakeButton(g, QStringLiteral("fontColourButton"),
                                   QStringLiteral("Font color"), 210, 44, 90, 25);
    backgroundColourButton_ = MakeButton(g, QStringLiteral("backgroundColourButton"),
                                         QStringLiteral("Background color"), 310, 44, 110, 25);
    for (QPushButton* button : {selectFontButton_, fontColourButton_, backgroundColourButton_}) {
        FitCaption(button);
    }
    connect(selectFontButton_, &QPushButton::clicked, this, &WatermarkPage::chooseFont);
    connect(fontColourButton_, &QPushButton::clicked, this, &WatermarkPage::chooseFontColour);
    connect(backgroundColourButton_, &QPushButton::clicked, this,
            &WatermarkPage::chooseBackgroundColour);
    transparentBackgroundCheckBox_ = MakeFittedCheckBox(
        g, "transparentBackgroundCheckBox", QStringLiteral("Background transparent"), 400, 80);
    transparentBackgroundCheckBox_->hide();
    BuildTextPosition(g);
    BuildTiming(g);
}

void WatermarkPage::BuildTextPosition(QWidget* g) {
    customPositionRadio_ = MakeRadio(g, QStringLiteral("customPositionRadio"),
                                     QStringLiteral("Custom position"), 12, 80);
    positionSizeLabel_ =
        Label(g, "positionSizeLabel", QStringLiteral("Watermark position size(pixels):"), 150, 82);
    textLeftLabel_ = Label(g, "textLeftLabel", QStringLiteral("Left:"), 32, 107);
    textLeftEdit_ = MakeEdit(g, QStringLiteral("textLeftEdit"), QStringLiteral("0"), 70, 104, 50);
    textLeftUpDown_ =
        MakeUpDown(*textLeftEdit_, QStringLiteral("textLeftUpDown"), 0, kTextPositionMaximum);
    textTopLabel_ = Label(g, "textTopLabel", QStringLiteral("Top:"), 160, 107);
    textTopEdit_ = MakeEdit(g, QStringLiteral("textTopEdit"), QStringLiteral("0"), 196, 104, 50);
    textTopUpDown_ =
        MakeUpDown(*textTopEdit_, QStringLiteral("textTopUpDown"), 0, kTextPositionMaximum);

    relativePositionRadio_ = MakeRadio(g, QStringLiteral("relativePositionRadio"),
                                       QStringLiteral("Relative position"), 12, 134);
    horizontalLabel_ = Label(g, "horizontalLabel", QStringLiteral("Horizontal:"), 32, 161);
    horizontalComboBox_ = new QComboBox(g);
    horizontalComboBox_->setObjectName(QStringLiteral("horizontalComboBox"));
    horizontalComboBox_->addItems(
        {QStringLiteral("Left"), QStringLiteral("Center"), QStringLiteral("Right")});
    horizontalComboBox_->setGeometry(100, 157, 90, 22);
    verticalLabel_ = Label(g, "verticalLabel", QStringLiteral("Vertical:"), 220, 161);
    verticalComboBox_ = new QComboBox(g);
    verticalComboBox_->setObjectName(QStringLiteral("verticalComboBox"));
    verticalComboBox_->addItems(
        {QStringLiteral("Top"), QStringLiteral("Center"), QStringLiteral("Bottom")});
    verticalComboBox_->setGeometry(276, 157, 90, 22);
    randomPositionRadio_ = MakeRadio(g, QStringLiteral("randomPositionRadio"),
                                     QStringLiteral("Random position"), 400, 134);
    positionGroup_ = new QButtonGroup(this);
    positionGroup_->addButton(customPositionRadio_, 0);
    positionGroup_->addButton(relativePositionRadio_, 1);
    positionGroup_->addButton(randomPositionRadio_, 2);
    customPositionRadio_->setChecked(true);
    NameNumberField(*textLeftEdit_, textLeftUpDown_, QStringLiteral("Watermark text left"),
                    textLeftLabel_);
    NameNumberField(*textTopEdit_, textTopUpDown_, QStringLiteral("Watermark text top"),
                    textTopLabel_);
    NameControl(horizontalComboBox_, QStringLiteral("Horizontal"), horizontalLabel_);
    NameControl(verticalComboBox_, QStringLiteral("Vertical"), verticalLabel_);
    new NumberEditFilter(textLeftEdit_, [this] { clampTextLeft(); });
    new NumberEditFilter(textTopEdit_, [this] { clampTextTop(); });
}

void WatermarkPage::BuildTiming(QWidget* g) {
    appearEveryCheckBox_ = MakeFittedCheckBox(
        g, "appearEveryCheckBox", QStringLiteral("Watermark will appear every"), 12, 196);
    const int afterBox = appearEveryCheckBox_->x() + appearEveryCheckBox_->width() + 6;
    appearEveryEdit_ =
        MakeEdit(g, QStringLiteral("appearEveryEdit"), QStringLiteral("60"), afterBox, 194, 40);
    disappearAfterLabel_ = Label(g, "disappearAfterLabel",
                                 QStringLiteral("seconds and disappear after"), afterBox + 46, 197);
    const int afterText = disappearAfterLabel_->x() + disappearAfterLabel_->width() + 6;
    disappearAfterEdit_ =
        MakeEdit(g, QStringLiteral("disappearAfterEdit"), QStringLiteral("5"), afterText, 194, 40);
    secondsLabel_ = Label(g, "secondsLabel", QStringLiteral("seconds"), afterText + 46, 197);
    NameNumberField(*appearEveryEdit_, nullptr,
                    QStringLiteral("Watermark will appear every, seconds"), nullptr);
    NameNumberField(*disappearAfterEdit_, nullptr, QStringLiteral("Disappear after, seconds"),
                    disappearAfterLabel_);
    new NumberEditFilter(appearEveryEdit_, [this] { normaliseAppearEvery(); });
    new NumberEditFilter(disappearAfterEdit_, [this] { normaliseDisappearAfter(); });
}

void WatermarkPage::BuildImageGroup() {
    imageGroup_ = MakeGroup(this, QStringLiteral("imageGroup"), QString(), 8, 262, 567, 112);
    QWidget* g = imageGroup_;
    imageFileLabel_ = Label(g, "imageFileLabel", QStringLiteral("Image source file:"), 12, 16);
    imageFileEdit_ = MakeEdit(g, QStringLiteral("imageFileEdit"), kWaterImagePrompt, 110, 12, 416);
    imageFileEdit_->setReadOnly(true);
    imageFileButton_ = new QToolButton(g);
    imageFileButton_->setObjectName(QStringLiteral("imageFileButton"));
    imageFileButton_->setGeometry(528, 11, 22, 22);
    imageFileButton_->setAutoRaise(true);
    imageFileButton_->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    connect(imageFileButton_, &QToolButton::clicked, this, &WatermarkPage::chooseImageFile);
    NameControl(imageGroup_, QStringLiteral("Image watermark"));
    NameControl(imageFileEdit_, QStringLiteral("Image source file"), imageFileLabel_);
    NameControl(imageFileButton_, QStringLiteral("Choose image source file"));

    imagePositionLabel_ = Label(g, "imagePositionLabel",
                                QStringLiteral("Image watermark position((pixels):"), 12, 46);
    imageLeftLabel_ = Label(g, "imageLeftLabel", QStringLiteral("Left:"), 220, 46);
    imageLeftEdit_ = MakeEdit(g, QStringLiteral("imageLeftEdit"), QStringLiteral("0"), 256, 43, 50);
    imageLeftUpDown_ =
        MakeUpDown(*imageLeftEdit_, QStringLiteral("imageLeftUpDown"), 0, kImagePositionMaximum);
    imageTopLabel_ = Label(g, "imageTopLabel", QStringLiteral("Top:"), 346, 46);
    imageTopEdit_ = MakeEdit(g, QStringLiteral("imageTopEdit"), QStringLiteral("0"), 382, 43, 50);
    imageTopUpDown_ =
        MakeUpDown(*imageTopEdit_, QStringLiteral("imageTopUpDown"), 0, kImagePositionMaximum);
    NameNumberField(*imageLeftEdit_, imageLeftUpDown_, QStringLiteral("Image watermark left"),
                    imageLeftLabel_);
    NameNumberField(*imageTopEdit_, imageTopUpDown_, QStringLiteral("Image watermark top"),
                    imageTopLabel_);
    new NumberEditFilter(imageLeftEdit_, {});
    new NumberEditFilter(imageTopEdit_, {});

    imageWidthLabel_ = Label(g, "imageWidthLabel", QStringLiteral("Width: 0"), 12, 80);
    imageHeightLabel_ = Label(g, "imageHeightLabel", QStringLiteral("Height:  0"), 130, 80);
    imageTransparencyLabel_ =
        Label(g, "imageTransparencyLabel", QStringLiteral("Image transparent:"), 260, 80);
    imageTransparencySlider_ = new QSlider(Qt::Horizontal, g);
    imageTransparencySlider_->setObjectName(QStringLiteral("imageTransparencySlider"));
    imageTransparencySlider_->setRange(0, 100);
    imageTransparencySlider_->setGeometry(370, 76, 130, 22);
    imageTransparencyValueLabel_ =
        Label(g, "imageTransparencyValueLabel", QStringLiteral("0%"), 510, 80);
    for (QWidget* hidden : {static_cast<QWidget*>(imageTransparencyLabel_),
                            static_cast<QWidget*>(imageTransparencySlider_),
                            static_cast<QWidget*>(imageTransparencyValueLabel_)}) {
        hidden->hide();
    }
    NameControl(imageTransparencySlider_, QStringLiteral("Image transparent"),
                imageTransparencyLabel_);
    connect(imageTransparencySlider_, &QSlider::valueChanged, this,
            &WatermarkPage::showImageTransparency);
}

void WatermarkPage::BuildWebAndButtons() {
    webAddressLabel_ =
        Label(this, "webAddressLabel",
              QStringLiteral(
                  "Nagivate to website when mouse click watermark, if not, please leave it blank:"),
              10, 384);
    webAddressEdit_ = MakeEdit(this, QStringLiteral("webAddressEdit"),
                               QString::fromLatin1(OptionSet::kMakerWebAddress), 10, 402, 563);
    NameControl(webAddressEdit_, QStringLiteral("Website opened by a click on the watermark"),
                webAddressLabel_);
    watermarkSaveDefaultsButton_ = MakeButton(this, QStringLiteral("watermarkSaveDefaultsButton"),
                                              QStringLiteral("Save as default"), 56, 440, 105, 25);
    watermarkLoadDefaultsButton_ =
        MakeButton(this, QStringLiteral("watermarkLoadDefaultsButton"),
                   QStringLiteral("Load from default"), 241, 440, 105, 25);
    watermarkCloseButton_ = MakeButton(this, QStringLiteral("watermarkCloseButton"),
                                       QStringLiteral("Close"), 456, 440, 80, 25);
    for (QPushButton* button : {watermarkSaveDefaultsButton_, watermarkLoadDefaultsButton_}) {
        FitCaption(button);
    }
    connect(watermarkSaveDefaultsButton_, &QPushButton::clicked, this,
            &WatermarkPage::saveDefaults);
    connect(watermarkLoadDefaultsButton_, &QPushButton::clicked, this,
            &WatermarkPage::loadDefaults);
    connect(watermarkCloseButton_, &QPushButton::clicked, this, &OptionPage::closeRequested);
}

void WatermarkPage::ShowWatermarkLook() {
    // A sample too tall for the box is shown smaller; the font that is kept keeps its size.
    watermarkTextEdit_->setFont(FontFittedToHeight(ScreenFont(waterFont_), SampleLineHeight()));
    QPalette look = watermarkTextEdit_->palette();
    look.setColor(QPalette::Text, ScreenColour(waterFont_.color));
    look.setColor(QPalette::Base, ScreenColour(background_));
    watermarkTextEdit_->setPalette(look);
}

int WatermarkPage::SampleLineHeight() const {
    const int frame = watermarkTextEdit_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth,
                                                               nullptr, watermarkTextEdit_);
    // A line edit keeps one pixel above and below its text.
    return watermarkTextEdit_->height() - 2 * frame - 2;
}

void WatermarkPage::chooseFont() {
    const auto chosen = context_.dialogs.ChooseFont(this, fontDialogChoice_);
    if (!chosen) {
        return;
    }
    fontDialogChoice_ = *chosen;
    waterFont_ = FontRecordOf(*chosen, watermarkTextEdit_->logicalDpiY(), waterFont_);
    ShowWatermarkLook();
}

void WatermarkPage::chooseFontColour() {
    if (const auto colour = context_.dialogs.ChooseColor(this, ScreenColour(waterFont_.color))) {
        waterFont_.color = ColourValue(*colour);
        ShowWatermarkLook();
    }
}

void WatermarkPage::chooseBackgroundColour() {
    if (const auto colour = context_.dialogs.ChooseColor(this, ScreenColour(background_))) {
        background_ = ColourValue(*colour);
        ShowWatermarkLook();
    }
}

void WatermarkPage::chooseImageFile() {
    const QString path = context_.dialogs.OpenFile(
        this,
        {QString(), QStringLiteral("JPEG Image File (*.jpg;*.jpeg)|*.jpg;*.jpeg"), QString()});
    if (path.isEmpty()) {
        return;
    }
    try {
        const PixelSize image = JpegFileSize(path.toStdString());
        imageWidthLabel_->setText(QStringLiteral("Width: %1").arg(image.width));
        imageHeightLabel_->setText(QStringLiteral("Height: %1").arg(image.height));
        FitCaption(imageWidthLabel_);
        FitCaption(imageHeightLabel_);
    } catch (const std::exception&) {
        context_.dialogs.ShowMessage(this, QStringLiteral("Error Image file format!"));
    }
    imageFileEdit_->setText(path);
    imageFileEdit_->setCursorPosition(0);
}

void WatermarkPage::clampTextLeft() {
    ExitPositionField(*textLeftEdit_, *textLeftUpDown_);
}

void WatermarkPage::clampTextTop() {
    ExitPositionField(*textTopEdit_, *textTopUpDown_);
}

void WatermarkPage::normaliseAppearEvery() {
    ExitSecondsField(*appearEveryEdit_, kEverySecondsFallback);
}

void WatermarkPage::normaliseDisappearAfter() {
    ExitSecondsField(*disappearAfterEdit_, kDisappearSecondsFallback);
}

void WatermarkPage::showImageTransparency(int position) {
    imageTransparencyValueLabel_->setText(QStringLiteral("%1%").arg(position));
    FitCaption(imageTransparencyValueLabel_);
}

void WatermarkPage::NormaliseFocusedField() const {
    if (textLeftEdit_->hasFocus()) {
        ExitPositionField(*textLeftEdit_, *textLeftUpDown_);
    } else if (textTopEdit_->hasFocus()) {
        ExitPositionField(*textTopEdit_, *textTopUpDown_);
    } else if (appearEveryEdit_->hasFocus()) {
        ExitSecondsField(*appearEveryEdit_, kEverySecondsFallback);
    } else if (disappearAfterEdit_->hasFocus()) {
        ExitSecondsField(*disappearAfterEdit_, kDisappearSecondsFallback);
    }
}

void WatermarkPage::FillOptions(OptionSet& o) const {
    NormaliseFocusedField();
    o.watertype = CheckedIndex(*kindGroup_);
    o.waterweb = webAddressEdit_->text().toStdString();
    o.watertext = watermarkTextEdit_->text().toStdString();
    o.waterleft1 = textLeftEdit_->text().toStdString();
    o.watertop1 = textTopEdit_->text().toStdString();
    o.watereverysecond = appearEveryEdit_->text().toStdString();
    o.wateredissecond = disappearAfterEdit_->text().toStdString();
    o.waterstringtrans = transparentBackgroundCheckBox_->isChecked();
    o.waterfont = waterFont_;
    o.watercolor = background_;
    o.waterstringposition = CheckedIndex(*positionGroup_);
    o.waterhasdis = appearEveryCheckBox_->isChecked();
    o.waterstringhr = horizontalComboBox_->currentIndex();
    o.waterstringver = verticalComboBox_->currentIndex();
    o.waterimagefile = imageFileEdit_->text().toStdString();
    o.waterleft2 = imageLeftEdit_->text().toStdString();
    o.watertop2 = imageTopEdit_->text().toStdString();
    o.waterimagetrans = imageTransparencySlider_->value();
}

void WatermarkPage::ShowOptions(const OptionSet& o) {
    CheckIndex(*kindGroup_, o.watertype);
    watermarkTextEdit_->setText(Q(o.watertext));
    textLeftUpDown_->SetPosition(static_cast<int>(DecimalOr(Q(o.waterleft1), 0)));
    textTopUpDown_->SetPosition(static_cast<int>(DecimalOr(Q(o.watertop1), 0)));
    imageFileEdit_->setText(Q(o.waterimagefile));
    transparentBackgroundCheckBox_->setChecked(o.waterstringtrans);
    imageLeftUpDown_->SetPosition(static_cast<int>(DecimalOr(Q(o.waterleft2), 0)));
    imageTopUpDown_->SetPosition(static_cast<int>(DecimalOr(Q(o.watertop2), 0)));
    webAddressEdit_->setText(Q(o.waterweb));
    waterFont_ = o.waterfont;
    background_ = o.watercolor;
    ShowWatermarkLook();
    appearEveryEdit_->setText(Q(o.watereverysecond));
    disappearAfterEdit_->setText(Q(o.wateredissecond));
    CheckIndex(*positionGroup_, o.waterstringposition);
    horizontalComboBox_->setCurrentIndex(
        o.waterstringhr >= 0 && o.waterstringhr < 3 ? o.waterstringhr : -1);
    verticalComboBox_->setCurrentIndex(
        o.waterstringver >= 0 && o.waterstringver < 3 ? o.waterstringver : -1);
    appearEveryCheckBox_->setChecked(o.waterhasdis);
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
    const std::string path = imageFileEdit_->text().toStdString();
    if (!FileExists(path)) {
        ShowNoImage();
        return;
    }
    try {
        const PixelSize image = JpegFileSize(path);
        imageWidthLabel_->setText(QStringLiteral("Width: %1").arg(image.width));
        imageHeightLabel_->setText(QStringLiteral("Height: %1").arg(image.height));
        FitCaption(imageWidthLabel_);
        FitCaption(imageHeightLabel_);
    } catch (const std::exception&) {
        ShowNoImage();
    }
}

void WatermarkPage::ShowNoImage() {
    imageFileEdit_->setText(kWaterImagePrompt);
    imageFileEdit_->setCursorPosition(0);
    imageWidthLabel_->setText(QStringLiteral("Width: 0"));
    imageHeightLabel_->setText(QStringLiteral("Height: 0"));
}

void WatermarkPage::LoadFromDefaults() {
    LoadPage(LoadMode::Start);
}

void WatermarkPage::loadDefaults() {
    LoadPage(LoadMode::Button);
}

void WatermarkPage::saveDefaults() {
    RunDefaultsAction(this, context_.dialogs, [&](SettingsStore& store) {
        OptionSet options;
        FillOptions(options);
        SaveWatermarkDefaults(store, options);
    });
}

bool WatermarkPage::ImageWatermarkFileMissing() const {
    return imageWatermarkRadio_->isChecked() && !FileExists(imageFileEdit_->text().toStdString());
}

void WatermarkPage::FocusImageFile() {
    imageFileEdit_->setFocus();
}

}  // namespace quorlix
