// The "Logo setup" page's handlers: the icon, the two images, their previews, the defaults.
#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>

#include "common/byte_order.h"
#include "conversion/page_defaults.h"
#include "imaging/picture_file.h"
#include "options/defaults_action.h"
#include "options/field_number.h"
#include "options/icon_image_list.h"
#include "options/image_preview_window.h"
#include "options/logo_page.h"
#include "package/icon_replacement.h"
#include "package/icon_split.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "widgets/dialogs.h"
#include "widgets/picture_box.h"
#include "widgets/picture_loading.h"
#include "widgets/up_down.h"

namespace quorlix {

const char* const kImageFilter =
    "All pictures|*.bmp;*.BMP;*.ico;*.ICO;*.wmf;*.WMF;*.emf;*.EMF;*.jpg;*.JPG;*.jpeg;*.JPEG;"
    "*.gif;*.GIF;*.png;*.PNG|Bitmaps|*.bmp;*.BMP|Icons|*.ico;*.ICO|Metafiles|*.wmf;*.WMF|"
    "Enhanced Metafiles|*.emf;*.EMF|JPEG Image File|*.jpg;*.JPG;*.jpeg;*.JPEG|"
    "GIF Image|*.gif;*.GIF|PNG Image|*.png;*.PNG";

namespace {

const QString kIncorrectImage =
    QStringLiteral("Image file is incorrect,please select another one!");
constexpr int kSecondsFallback = 3;
constexpr int kSecondsMaximum = 32767;

std::string Text(const QLineEdit* edit) {
    return edit->text().toStdString();
}

bool NamesFile(const QLineEdit* edit) {
    return FileExists(Text(edit));
}

QString UpperExtension(const QLineEdit* edit) {
    return QString::fromStdString(ExtensionOf(Text(edit))).toUpper();
}

// A seconds edit's text as the options carry it: empty counts as "3", as on leaving the edit.
std::string SecondsText(const QLineEdit* edit) {
    return edit->text().isEmpty() ? std::to_string(kSecondsFallback) : Text(edit);
}

// The seconds a preview waits: the edit's number within 0 and the up-down's maximum; a number
// too long for any integer counts as that maximum, a text that is not a number as 3.
int PreviewSeconds(const QString& text) {
    return static_cast<int>(
        std::clamp<long long>(FieldNumber(text, kSecondsFallback), 0, kSecondsMaximum));
}

// Unchecks a radio button without checking another of its group.
void Uncheck(QRadioButton* button) {
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

// A stored seconds text: a number moves the up-down (the edit shows the clamped number).
void SetSeconds(const LogoImageControls& image, const std::string& text) {
    if (QString::fromStdString(text) == image.seconds->text()) {
        return;
    }
    image.upDown->SetPosition(static_cast<int>(std::clamp<long long>(
        DecimalOr(QString::fromStdString(text), kSecondsFallback), 0, kSecondsMaximum)));
}

// Reads an icon file and refuses one the conversion could not use: larger than the icon
// replacement takes, a directory with images outside the file, or images that together hold
// more bytes than the file (which would make the split write far more than it read).
void CheckIconFile(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size > kMaxIconFileSize) {
        throw Error(path + ": not an icon file the program can use");
    }
    const std::vector<std::uint8_t> bytes = ReadPictureFile(path);
    if (!ValidateIconFile(bytes.data(), bytes.size())) {
        throw Error(path + ": not an icon file");
    }
    std::uint64_t total = 0;
    const std::uint16_t count = GetLE16(bytes.data() + 4);
    for (std::size_t n = 0; n < count; ++n) {
        total += GetLE32(bytes.data() + 6 + 16 * n + 8);
    }
    if (total > bytes.size()) {
        throw Error(path + ": images overlap");
    }
}

}  // namespace

void LogoPage::FillOptions(OptionSet& o) const {
    o.changeicon = CheckBox8->isChecked();
    o.iconfilename = Text(Edit6);
    o.showfirstimage = first_.show->isChecked();
    o.firstimage = Text(first_.path);
    o.firsttrans1 = first_.appear->isChecked();
    o.firsttrans2 = first_.disappear->isChecked();
    o.firstclick = first_.autoClose->isChecked() ? 0 : 1;
    o.firstsec = SecondsText(first_.seconds);
    o.showsecondimage = second_.show->isChecked();
    o.secondimage = Text(second_.path);
    o.secondtrans1 = second_.appear->isChecked();
    o.secondtrans2 = second_.disappear->isChecked();
    o.secondclick = second_.autoClose->isChecked() ? 0 : 1;
    o.secondsec = SecondsText(second_.seconds);
}

void LogoPage::CheckBox8Click() {
    Panel3->setVisible(CheckBox8->isChecked());
}

void LogoPage::CheckBox6Click() {
    first_.panel->setVisible(first_.show->isChecked());
}

void LogoPage::CheckBox7Click() {
    second_.panel->setVisible(second_.show->isChecked());
}

void LogoPage::ComboBox3DrawItem(QPainter& painter, int index, const QRect& rect,
                                 bool selected) const {
    painter.fillRect(rect, palette().brush(selected ? QPalette::Highlight : QPalette::Base));
    const std::string file = context_.iconPreviewFolder + "/" + std::to_string(index) + "i.ico";
    if (!FileExists(file)) {
        return;
    }
    try {
        painter.drawImage(rect.topLeft(), LoadPicture(QString::fromStdString(file)));
    } catch (const std::exception&) {
        // An image that does not load leaves its item blank.
    }
}

void LogoPage::SetIconItems(int count) {
    ComboBox3->clear();
    for (int i = 0; i < count; ++i) {
        ComboBox3->addItem(QStringLiteral(" "));
    }
    ComboBox3->setCurrentIndex(count > 0 ? 0 : -1);
    ComboBox3->update();
}

void LogoPage::ShowIconImages(const QString& iconPath) {
    const std::string path = iconPath.toStdString();
    CheckIconFile(path);
    SetIconItems(SplitIconImages(path, context_.iconPreviewFolder));
}

void LogoPage::SpeedButton5Click() {
    const QString path = context_.dialogs.OpenFile(
        this, {QString(), QStringLiteral("Icons (*.ico)|*.ico;*.ICO"), QStringLiteral("ico")});
    if (path.isEmpty()) {
        return;
    }
    try {
        ShowIconImages(path);
        Edit6->setText(path);
        Edit6->setCursorPosition(0);
        Edit6->setFocus();
    } catch (const std::exception&) {
        ComboBox3->clear();
        Edit6->setText(QString::fromUtf8(kIconPrompt));
    }
}

void LogoPage::Edit6DblClick() {
    SpeedButton5Click();
}

void LogoPage::Button18Click() {
    try {
        SplitIconImages(context_.defaultIconFile, context_.iconPreviewFolder);
    } catch (const std::exception&) {
        // The list still gets its three items; those whose file is missing draw blank.
    }
    SetIconItems(3);
    ComboBox3->repaint();
    Edit6->setText(QString::fromUtf8(kIconPrompt));
}

void LogoPage::SpeedButton3Click() {
    ChooseImage(first_, true);
}

void LogoPage::SpeedButton6Click() {
    ChooseImage(second_, false);
}

void LogoPage::Edit3DblClick() {
    SpeedButton3Click();
}

void LogoPage::ChooseImage(LogoImageControls& image, bool reportFailure) {
    const QString path =
        context_.dialogs.OpenFile(this, {QString(), QString::fromLatin1(kImageFilter), QString()});
    if (path.isEmpty()) {
        return;
    }
    image.path->setText(path);
    image.path->setCursorPosition(0);
    if (!LoadThumbnail(image)) {
        if (reportFailure) {
            context_.dialogs.ShowMessage(this, kIncorrectImage);
        }
        image.path->setText(QString::fromUtf8(kImagePrompt));
    }
    CheckImageKind(image);
}

bool LogoPage::LoadThumbnail(LogoImageControls& image) {
    try {
        image.thumbnail->SetPicture(LoadPicture(image.path->text()));
        image.thumbnail->show();
        return true;
    } catch (const std::exception&) {
        image.thumbnail->SetPicture(QImage());
        image.thumbnail->hide();
        return false;
    }
}

void LogoPage::CheckImageKind(LogoImageControls& image) {
    static const QStringList kOwnTransparency = {QStringLiteral(".GIF"), QStringLiteral(".PNG"),
                                                 QStringLiteral(".WMF"), QStringLiteral(".EMF")};
    const bool fixed = kOwnTransparency.contains(UpperExtension(image.path));
    if (fixed) {
        image.appear->setChecked(false);
        image.disappear->setChecked(false);
    }
    image.appear->setEnabled(!fixed);
    image.disappear->setEnabled(!fixed);
}

void LogoPage::Edit5Exit() {
    if (first_.seconds->text().isEmpty()) {
        first_.seconds->setText(QString::number(kSecondsFallback));
    }
}

void LogoPage::Edit8Exit() {
    if (second_.seconds->text().isEmpty()) {
        second_.seconds->setText(QString::number(kSecondsFallback));
    }
}

void LogoPage::Button21Click() {
    ShowImagePreview(first_);
}

void LogoPage::Button13Click() {
    ShowImagePreview(second_);
}

void LogoPage::ShowImagePreview(const LogoImageControls& image) {
    if (!NamesFile(image.path)) {
        context_.dialogs.ShowMessage(this, QStringLiteral("Please select an image file!"));
        return;
    }
    // The picture is read before the main window goes, so a file that no longer loads is
    // reported with the main window in place.
    QImage picture;
    try {
        picture = LoadPicture(image.path->text());
    } catch (const std::exception&) {
        context_.dialogs.ShowMessage(this, kIncorrectImage);
        return;
    }
    QWidget* mainWindow = window();
    mainWindow->hide();
    // The main window comes back however the preview ends.
    struct ShowAgain {
        QWidget* window;
        ~ShowAgain() { window->show(); }
    } showAgain{mainWindow};

    ImagePreviewWindow preview(mainWindow);
    preview.SetPicture(picture);
    preview.waitForClick = !image.autoClose->isChecked();
    if (!preview.waitForClick) {
        preview.closeAfterSeconds = PreviewSeconds(image.seconds->text());
    }
    preview.fadeIn = image.appear->isChecked();
    preview.fadeOut = image.disappear->isChecked();
    const QString extension = UpperExtension(image.path);
    if (extension == QStringLiteral(".PNG")) {
        preview.PaintNoBackground();
    } else if (extension == QStringLiteral(".GIF")) {
        preview.UseColourKey();
    }
    if (extension == QStringLiteral(".PNG") || extension == QStringLiteral(".GIF") ||
        extension == QStringLiteral(".WMF") || extension == QStringLiteral(".EMF")) {
        preview.fadeIn = false;
        preview.fadeOut = false;
    }
    if (previewTimersByHand_) {
        preview.DriveTimersByHand();
    }
    preview.exec();
}

void LogoPage::Button19Click() {
    Edit5Exit();
    Edit8Exit();
    OptionSet options;
    FillOptions(options);
    RunDefaultsAction(this, context_.dialogs, [&](SettingsStore& store) {
        store.Open();
        SaveLogoDefaults(store, options);
    });
}

void LogoPage::Button20Click() {
    RunDefaultsAction(this, context_.dialogs, [this](SettingsStore& store) {
        OptionSet options;
        FillOptions(options);
        const LogoLoadReport report = LoadLogoDefaults(store, options);
        ApplyOptions(options, report);
    });
    CheckBox6Click();
    CheckBox7Click();
    CheckBox8Click();
    ShowIconOnPageLoad();
    LoadImageOnPageLoad(first_);
    LoadImageOnPageLoad(second_);
    CheckImageKind(first_);
    CheckImageKind(second_);
}

void LogoPage::ShowIconOnPageLoad() {
    if (NamesFile(Edit6)) {
        try {
            ShowIconImages(Edit6->text());
            return;
        } catch (const std::exception&) {
            // An icon file that cannot be split counts as no icon file.
        }
    }
    try {
        ShowIconImages(QString::fromStdString(context_.defaultIconFile));
    } catch (const std::exception&) {
        ComboBox3->clear();
    }
    Edit6->setText(QString::fromUtf8(kIconPrompt));
}

void LogoPage::LoadImageOnPageLoad(LogoImageControls& image) {
    if (!NamesFile(image.path) || !LoadThumbnail(image)) {
        image.thumbnail->hide();
        image.path->setText(QString::fromUtf8(kImagePrompt));
    }
    image.path->setCursorPosition(0);
}

void LogoPage::ApplyOptions(const OptionSet& o, const LogoLoadReport& report) {
    CheckBox8->setChecked(o.changeicon);
    Edit6->setText(QString::fromStdString(o.iconfilename));
    first_.show->setChecked(o.showfirstimage);
    first_.path->setText(QString::fromStdString(o.firstimage));
    first_.appear->setChecked(o.firsttrans1);
    first_.disappear->setChecked(o.firsttrans2);
    (o.firstclick == 1 ? first_.mouseClick : first_.autoClose)->setChecked(true);
    SetSeconds(first_, o.firstsec);
    second_.show->setChecked(o.showsecondimage);
    second_.path->setText(QString::fromStdString(o.secondimage));
    second_.appear->setChecked(o.secondtrans1);
    second_.disappear->setChecked(o.secondtrans2);
    using Click = LogoLoadReport::SecondClick;
    switch (report.secondClick) {
        case Click::CheckAutoClose:
            second_.autoClose->setChecked(true);
            break;
        case Click::UncheckAutoClose:
            Uncheck(second_.autoClose);
            break;
        case Click::UncheckMouseClick:
            Uncheck(second_.mouseClick);
            break;
        case Click::Unchanged:
            break;
    }
    SetSeconds(second_, o.secondsec);
}

void LogoPage::Button14Click() {
    emit closeRequested();
}

}  // namespace quorlix
