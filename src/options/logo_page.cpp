// The "Logo setup" page's controls and their layout.
#include "options/logo_page.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>

#include "conversion/page_defaults.h"
#include "options/icon_image_list.h"
#include "options/page_layout.h"
#include "widgets/number_edit.h"
#include "widgets/picture_box.h"
#include "widgets/up_down.h"
#include "widgets/window_geometry.h"

namespace quorlix {

namespace {

constexpr int kPanelLeft = 16;
constexpr int kPanelWidth = 551;
constexpr int kIconItemHeight = 64;

QFrame* MakePanel(QWidget* parent, const QString& name, int top, int height) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setGeometry(kPanelLeft, top, kPanelWidth, height);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Raised);
    panel->hide();
    return panel;
}

QLineEdit* MakePathEdit(QWidget* parent, const QString& name, const QString& text, QRect geometry) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    edit->setReadOnly(true);
    edit->setCursorPosition(0);
    return edit;
}

QToolButton* MakeChooseButton(QWidget* parent, const QString& name, int left, int top) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setGeometry(left, top, 22, 22);
    button->setAutoRaise(true);
    button->setIcon(parent->style()->standardIcon(QStyle::SP_DirOpenIcon));
    button->setToolTip(QStringLiteral("Click to select"));
    return button;
}

// The object names of one logo image's controls, and its static text.
struct ImagePanelNames {
    const char* show;
    const char* showText;
    const char* panel;
    const char* path;
    const char* choose;
    const char* thumbnail;
    const char* appear;
    const char* disappear;
    const char* autoClose;
    const char* seconds;
    const char* upDown;
    const char* mouseClick;
    const char* preview;
    const char* text;
    const char* noteLabel;
    const char* exampleLabel;
    const char* secondsLabel;
    const char* subject;  // what the image is, in the names assistive technology reads
};

const ImagePanelNames kImagePanels[] = {
    {"showFirstImageCheckBox", "Display image before playing Word: ", "firstImagePanel",
     "firstImageEdit", "firstImageButton", "firstImageThumbnail", "firstImageFadeInCheckBox",
     "firstImageFadeOutCheckBox", "firstImageAutoCloseRadio", "firstImageSecondsEdit",
     "firstImageSecondsUpDown", "firstImageClickCloseRadio", "firstImagePreviewButton",
     "You can choose an image that will display before playing the Excel.", "firstImageNoteLabel",
     "firstImageExampleLabel", "firstImageSecondsLabel", "image before playing Word"},
    {"showSecondImageCheckBox", "Display image after playing Word: ", "secondImagePanel",
     "secondImageEdit", "secondImageButton", "secondImageThumbnail", "secondImageFadeInCheckBox",
     "secondImageFadeOutCheckBox", "secondImageAutoCloseRadio", "secondImageSecondsEdit",
     "secondImageSecondsUpDown", "secondImageClickCloseRadio", "secondImagePreviewButton",
     "You can choose an image that will display after playing the Excel.", "secondImageNoteLabel",
     "secondImageExampleLabel", "secondImageSecondsLabel", "image after playing Word"},
};

// Names what the captions of one image's panel leave unsaid: which image each control is for.
void NameImagePanel(const LogoImageControls& c, const QString& subject) {
    QString capitalised = subject;
    capitalised[0] = capitalised[0].toUpper();
    NameControl(c.path, capitalised);
    NameControl(c.choose, QStringLiteral("Choose ") + subject);
    NameControl(c.thumbnail, QStringLiteral("Thumbnail of the ") + subject);
    NameNumberField(*c.seconds, c.upDown, QStringLiteral("Seconds to show the ") + subject,
                    nullptr);
    NameControl(c.preview, QStringLiteral("Preview the ") + subject);
}

}  // namespace

LogoPage::LogoPage(PageContext& context, QWidget* parent) : OptionPage(parent), context_(context) {
    setObjectName(QStringLiteral("LogoPage"));
    BuildIconPanel();
    firstImage_ = BuildImagePanel(130, 0);
    secondImage_ = BuildImagePanel(273, 1);
    BuildButtons();
    // Captioned controls never narrower or lower than their caption needs (the arrows of the
    // up-downs have no name and keep their size).
    for (QAbstractButton* control : findChildren<QAbstractButton*>()) {
        if (!control->objectName().isEmpty()) {
            FitCaption(control);
        }
    }
}

void LogoPage::BuildIconPanel() {
    changeIconCheckBox_ =
        MakeCheckBox(this, QStringLiteral("changeIconCheckBox"),
                     QStringLiteral("Assign output file Icon:"), kPanelLeft, 6, 200, 17);
    connect(changeIconCheckBox_, &QCheckBox::toggled, this, &LogoPage::showIconPanel);
    iconPanel_ = MakePanel(this, QStringLiteral("iconPanel"), 25, 100);

    iconImageList_ = new IconImageList(
        kIconItemHeight,
        [this](QPainter& painter, int index, const QRect& rect, bool selected) {
            DrawIconImage(painter, index, rect, selected);
        },
        iconPanel_);
    iconImageList_->setObjectName(QStringLiteral("iconImageList"));
    iconImageList_->setGeometry(8, 8, 88, 74);
    NameControl(iconImageList_, QStringLiteral("Icon images"));

    iconFileEdit_ = MakePathEdit(iconPanel_, QStringLiteral("iconFileEdit"),
                                 QString::fromUtf8(kIconPrompt), QRect(106, 8, 407, 21));
    iconFileEdit_->installEventFilter(this);
    iconFileButton_ = MakeChooseButton(iconPanel_, QStringLiteral("iconFileButton"), 515, 7);
    connect(iconFileButton_, &QToolButton::clicked, this, &LogoPage::chooseIconFile);
    NameControl(iconFileEdit_, QStringLiteral("Icon file"));
    NameControl(iconFileButton_, QStringLiteral("Choose icon file"));

    // The advice beside the icon list, one label per line.
    const struct {
        const char* name;
        const char* text;
    } lines[] = {
        {"iconAdviceLabel",
         "One ico file may contain one or multiple images with different sizes and color"},
        {"iconAdviceContinuedLabel", "depths, in order to meet different Windows platform needs."},
        {"iconSizesLabel",
         "Typically, you can make 48\u00d748, 8-bit color;32\u00d732, 8-bit color;16\u00d716, "
         "4-bit color"},
        {"iconSizesContinuedLabel", "images in one ico file."}};
    int top = 32;
    for (const auto& line : lines) {
        MakeLabel(iconPanel_, QString::fromLatin1(line.name), QString::fromUtf8(line.text), 106,
                  top);
        top += 13;
    }
    defaultIconButton_ = MakeButton(iconPanel_, QStringLiteral("defaultIconButton"),
                                    QStringLiteral("Default icon"), 457, 71, 80, 25);
    connect(defaultIconButton_, &QPushButton::clicked, this, &LogoPage::useDefaultIcon);
}

LogoImageControls LogoPage::BuildImagePanel(int top, int number) {
    const ImagePanelNames& n = kImagePanels[number];
    LogoImageControls c;
    c.show = MakeCheckBox(this, QString::fromLatin1(n.show), QString::fromLatin1(n.showText),
                          kPanelLeft, top, 220, 17);
    c.panel = MakePanel(this, QString::fromLatin1(n.panel), top + 19, 118);
    QWidget* p = c.panel;
    MakeLabel(p, QString::fromLatin1(n.noteLabel), QString::fromLatin1(n.text), 8, 6);
    MakeLabel(p, QString::fromLatin1(n.exampleLabel),
              QStringLiteral("such as Copyright information or other things"), 8, 19);
    c.path = MakePathEdit(p, QString::fromLatin1(n.path), QString::fromUtf8(kImagePrompt),
                          QRect(8, 37, 377, 21));
    c.choose = MakeChooseButton(p, QString::fromLatin1(n.choose), 387, 36);
    c.thumbnail = new PictureBox(p);
    c.thumbnail->setObjectName(QString::fromLatin1(n.thumbnail));
    c.thumbnail->setGeometry(426, 6, 117, 76);
    c.thumbnail->hide();
    c.appear = MakeCheckBox(p, QString::fromLatin1(n.appear), QStringLiteral("Transparent appear"),
                            8, 64, 130, 17);
    c.disappear = MakeCheckBox(p, QString::fromLatin1(n.disappear),
                               QStringLiteral("Transparent disappear"), 146, 64, 150, 17);
    c.autoClose =
        MakeRadio(p, QString::fromLatin1(n.autoClose), QStringLiteral("Auto close after"), 8, 90);
    c.autoClose->setChecked(true);
    c.seconds = MakeEdit(p, QString::fromLatin1(n.seconds), QStringLiteral("3"), 118, 88, 41);
    c.upDown = MakeUpDown(*c.seconds, QString::fromLatin1(n.upDown), 1, 32767);
    MakeLabel(p, QString::fromLatin1(n.secondsLabel), QStringLiteral("Sec."), 180, 92)
        ->setBuddy(c.seconds);
    c.mouseClick = MakeRadio(p, QString::fromLatin1(n.mouseClick),
                             QStringLiteral("Not close until mouse click"), 220, 90);
    c.preview =
        MakeButton(p, QString::fromLatin1(n.preview), QStringLiteral("Preview"), 444, 87, 80, 25);
    NameImagePanel(c, QString::fromLatin1(n.subject));
    return c;
}

void LogoPage::BuildButtons() {
    connect(firstImage_.show, &QCheckBox::toggled, this, &LogoPage::showFirstImagePanel);
    connect(secondImage_.show, &QCheckBox::toggled, this, &LogoPage::showSecondImagePanel);
    connect(firstImage_.choose, &QToolButton::clicked, this, &LogoPage::chooseFirstImage);
    connect(secondImage_.choose, &QToolButton::clicked, this, &LogoPage::chooseSecondImage);
    firstImage_.path->installEventFilter(this);
    new NumberEditFilter(firstImage_.seconds, [this] { fillEmptyFirstSeconds(); });
    new NumberEditFilter(secondImage_.seconds, [this] { fillEmptySecondSeconds(); });
    connect(firstImage_.preview, &QPushButton::clicked, this, &LogoPage::previewFirstImage);
    connect(secondImage_.preview, &QPushButton::clicked, this, &LogoPage::previewSecondImage);

    logoSaveDefaultsButton_ = MakeButton(this, QStringLiteral("logoSaveDefaultsButton"),
                                         QStringLiteral("Save as default"), 56, 447, 105, 25);
    logoLoadDefaultsButton_ = MakeButton(this, QStringLiteral("logoLoadDefaultsButton"),
                                         QStringLiteral("Load from default"), 241, 447, 105, 25);
    logoCloseButton_ = MakeButton(this, QStringLiteral("logoCloseButton"), QStringLiteral("Close"),
                                  456, 447, 80, 25);
    connect(logoSaveDefaultsButton_, &QPushButton::clicked, this, &LogoPage::saveDefaults);
    connect(logoLoadDefaultsButton_, &QPushButton::clicked, this, &LogoPage::loadDefaults);
    connect(logoCloseButton_, &QPushButton::clicked, this, &LogoPage::requestClose);
}

bool LogoPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == iconFileEdit_) {
            iconFileDoubleClicked();
            return true;
        }
        if (watched == firstImage_.path) {
            firstImageDoubleClicked();
            return true;
        }
    }
    return OptionPage::eventFilter(watched, event);
}

}  // namespace quorlix
