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
    const char* label1;
    const char* label2;
    const char* secondsLabel;
};

const ImagePanelNames kImagePanels[] = {
    {"CheckBox6", "Display image before playing Word: ", "Panel2", "Edit3", "SpeedButton3",
     "Image1", "CheckBox4", "CheckBox5", "RadioButton1", "Edit5", "UpDown1", "RadioButton2",
     "Button21", "You can choose an image that will display before playing the Excel.",
     "LogoLabel5", "LogoLabel6", "LogoLabel7"},
    {"CheckBox7", "Display image after playing Word: ", "Panel4", "Edit7", "SpeedButton6", "Image2",
     "CheckBox9", "CheckBox10", "RadioButton3", "Edit8", "UpDown2", "RadioButton4", "Button13",
     "You can choose an image that will display after playing the Excel.", "LogoLabel8",
     "LogoLabel9", "LogoLabel10"},
};

}  // namespace

LogoPage::LogoPage(PageContext& context, QWidget* parent) : OptionPage(parent), context_(context) {
    setObjectName(QStringLiteral("LogoPage"));
    BuildIconPanel();
    first_ = BuildImagePanel(130, 0);
    second_ = BuildImagePanel(273, 1);
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
    CheckBox8 = MakeCheckBox(this, QStringLiteral("CheckBox8"),
                             QStringLiteral("Assign output file Icon:"), kPanelLeft, 6, 200, 17);
    connect(CheckBox8, &QCheckBox::toggled, this, &LogoPage::CheckBox8Click);
    Panel3 = MakePanel(this, QStringLiteral("Panel3"), 25, 100);

    ComboBox3 = new IconImageList(
        kIconItemHeight,
        [this](QPainter& painter, int index, const QRect& rect, bool selected) {
            ComboBox3DrawItem(painter, index, rect, selected);
        },
        Panel3);
    ComboBox3->setObjectName(QStringLiteral("ComboBox3"));
    ComboBox3->setGeometry(8, 8, 88, 74);

    Edit6 = MakePathEdit(Panel3, QStringLiteral("Edit6"), QString::fromUtf8(kIconPrompt),
                         QRect(106, 8, 407, 21));
    Edit6->installEventFilter(this);
    SpeedButton5 = MakeChooseButton(Panel3, QStringLiteral("SpeedButton5"), 515, 7);
    connect(SpeedButton5, &QToolButton::clicked, this, &LogoPage::SpeedButton5Click);

    const char* texts[] = {
        "One ico file may contain one or multiple images with different sizes and color",
        "depths, in order to meet different Windows platform needs.",
        "Typically, you can make 48\u00d748, 8-bit color;32\u00d732, 8-bit color;16\u00d716, "
        "4-bit color",
        "images in one ico file."};
    for (int line = 0; line < 4; ++line) {
        MakeLabel(Panel3, QStringLiteral("LogoLabel%1").arg(line + 1),
                  QString::fromUtf8(texts[line]), 106, 32 + 13 * line);
    }
    Button18 = MakeButton(Panel3, QStringLiteral("Button18"), QStringLiteral("Default icon"), 457,
                          71, 80, 25);
    connect(Button18, &QPushButton::clicked, this, &LogoPage::Button18Click);
}

LogoImageControls LogoPage::BuildImagePanel(int top, int number) {
    const ImagePanelNames& n = kImagePanels[number];
    LogoImageControls c;
    c.show = MakeCheckBox(this, QString::fromLatin1(n.show), QString::fromLatin1(n.showText),
                          kPanelLeft, top, 220, 17);
    c.panel = MakePanel(this, QString::fromLatin1(n.panel), top + 19, 118);
    QWidget* p = c.panel;
    MakeLabel(p, QString::fromLatin1(n.label1), QString::fromLatin1(n.text), 8, 6);
    MakeLabel(p, QString::fromLatin1(n.label2),
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
    MakeLabel(p, QString::fromLatin1(n.secondsLabel), QStringLiteral("Sec."), 180, 92);
    c.mouseClick = MakeRadio(p, QString::fromLatin1(n.mouseClick),
                             QStringLiteral("Not close until mouse click"), 220, 90);
    c.preview =
        MakeButton(p, QString::fromLatin1(n.preview), QStringLiteral("Preview"), 444, 87, 80, 25);
    return c;
}

void LogoPage::BuildButtons() {
    connect(first_.show, &QCheckBox::toggled, this, &LogoPage::CheckBox6Click);
    connect(second_.show, &QCheckBox::toggled, this, &LogoPage::CheckBox7Click);
    connect(first_.choose, &QToolButton::clicked, this, &LogoPage::SpeedButton3Click);
    connect(second_.choose, &QToolButton::clicked, this, &LogoPage::SpeedButton6Click);
    first_.path->installEventFilter(this);
    new NumberEditFilter(
        first_.seconds, [this] { Edit5Exit(); }, &LogoPage::Edit5KeyPress);
    new NumberEditFilter(
        second_.seconds, [this] { Edit8Exit(); }, &LogoPage::Edit8KeyPress);
    connect(first_.preview, &QPushButton::clicked, this, &LogoPage::Button21Click);
    connect(second_.preview, &QPushButton::clicked, this, &LogoPage::Button13Click);

    Button19 = MakeButton(this, QStringLiteral("Button19"), QStringLiteral("Save as default"), 56,
                          447, 105, 25);
    Button20 = MakeButton(this, QStringLiteral("Button20"), QStringLiteral("Load from default"),
                          241, 447, 105, 25);
    Button14 =
        MakeButton(this, QStringLiteral("Button14"), QStringLiteral("Close"), 456, 447, 80, 25);
    connect(Button19, &QPushButton::clicked, this, &LogoPage::Button19Click);
    connect(Button20, &QPushButton::clicked, this, &LogoPage::Button20Click);
    connect(Button14, &QPushButton::clicked, this, &LogoPage::Button14Click);
}

bool LogoPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == Edit6) {
            Edit6DblClick();
            return true;
        }
        if (watched == first_.path) {
            Edit3DblClick();
            return true;
        }
    }
    return OptionPage::eventFilter(watched, event);
}

bool LogoPage::Edit5KeyPress(const QKeyEvent& event) {
    return IsNumberEditKey(event);
}

bool LogoPage::Edit8KeyPress(const QKeyEvent& event) {
    return IsNumberEditKey(event);
}

}  // namespace quorlix
