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
#include "imaging/image_loading.h"
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
    o.changeicon = changeIconCheckBox_->isChecked();
    o.iconfilename = Text(iconFileEdit_);
    o.showfirstimage = firstImage_.show->isChecked();
    o.firstimage = Text(firstImage_.path);
    o.firsttrans1 = firstImage_.appear->isChecked();
    o.firsttrans2 = firstImage_.disappear->isChecked();
    o.firstclick = firstImage_.autoClose->isChecked() ? 0 : 1;
    o.firstsec = SecondsText(firstImage_.seconds);
    o.showsecondimage = secondImage_.show->isChecked();
    o.secondimage = Text(secondImage_.path);
    o.secondtrans1 = secondImage_.appear->isChecked();
    o.secondtrans2 = secondImage_.disappear->isChecked();
    o.secondclick = secondImage_.autoClose->isChecked() ? 0 : 1;
    o.secondsec = SecondsText(secondImage_.seconds);
}

void LogoPage::showIconPanel() {
    iconPanel_->setVisible(changeIconCheckBox_->isChecked());
}

void LogoPage::showFirstImagePanel() {
    firstImage_.panel->setVisible(firstImage_.show->isChecked());
}

void LogoPage::showSecondImagePanel() {
    secondImage_.panel->setVisible(secondImage_.show->isChecked());
}

void LogoPage::DrawIconImage(QPainter& painter, int index, const QRect& rect, bool selected) const {
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
    iconImageList_->clear();
    for (int i = 0; i < count; ++i) {
        iconImageList_->addItem(QStringLiteral(" "));
    }
    iconImageList_->setCurrentIndex(count > 0 ? 0 : -1);
    iconImageList_->update();
}

void LogoPage::ShowIconImages(const QString& iconPath) {
    const std::string path = iconPath.toStdString();
    CheckIconFile(path);
    SetIconItems(SplitIconImages(path, context_.iconPreviewFolder));
}

void LogoPage::chooseIconFile() {
    const QString path = context_.dialogs.OpenFile(
        this, {QString(), QStringLiteral("Icons (*.ico)|*.ico;*.ICO"), QStringLiteral("ico")});
    if (path.isEmpty()) {
        return;
    }
    try {
        ShowIconImages(path);
        iconFileEdit_->setText(path);
        iconFileEdit_->setCursorPosition(0);
        iconFileEdit_->setFocus();
    } catch (const std::exception&) {
        iconImageList_->clear();
        iconFileEdit_->setText(QString::fromUtf8(kIconPrompt));
    }
}

void LogoPage::iconFileDoubleClicked() {
    chooseIconFile();
}

void LogoPage::useDefaultIcon() {
    try {
        SplitIconImages(context_.defaultIconFile, context_.iconPreviewFolder);
    } catch (const std::exception&) {
        // The list still gets its three items; those whose file is missing draw blank.
    }
    SetIconItems(3);
    iconImageList_->repaint();
    iconFileEdit_->setText(QString::fromUtf8(kIconPrompt));
}

void LogoPage::chooseFirstImage() {
    ChooseImage(firstImage_, true);
}

void LogoPage::chooseSecondImage() {
    ChooseImage(secondImage_, false);
}

void LogoPage::firstImageDoubleClicked() {
    chooseFirstImage();
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
        // Decoded at the size the thumbnail shows (in device pixels): a large picture is never
        // held whole.
        const qreal ratio = image.thumbnail->devicePixelRatioF();
        image.thumbnail->SetPicture(ToQImage(LoadImageFileFitting(
            image.path->text().toStdString(), {qRound(image.thumbnail->width() * ratio),
                                               qRound(image.thumbnail->height() * ratio)})));
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

void LogoPage::fillEmptyFirstSeconds() {
    if (firstImage_.seconds->text().isEmpty()) {
        firstImage_.seconds->setText(QString::number(kSecondsFallback));
    }
}

void LogoPage::fillEmptySecondSeconds() {
    if (secondImage_.seconds->text().isEmpty()) {
        secondImage_.seconds->setText(QString::number(kSecondsFallback));
    }
}

void LogoPage::previewFirstImage() {
    ShowImagePreview(firstImage_);
}

void LogoPage::previewSecondImage() {
    ShowImagePreview(secondImage_);
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

void LogoPage::saveDefaults() {
    fillEmptyFirstSeconds();
    fillEmptySecondSeconds();
    OptionSet options;
    FillOptions(options);
    RunDefaultsAction(this, context_.dialogs, [&](SettingsStore& store) {
        store.Open();
        SaveLogoDefaults(store, options);
    });
}

void LogoPage::loadDefaults() {
    RunDefaultsAction(this, context_.dialogs, [this](SettingsStore& store) {
        OptionSet options;
        FillOptions(options);
        const LogoLoadReport report = LoadLogoDefaults(store, options);
        ApplyOptions(options, report);
    });
    showFirstImagePanel();
    showSecondImagePanel();
    showIconPanel();
    ShowIconOnPageLoad();
    LoadImageOnPageLoad(firstImage_);
    LoadImageOnPageLoad(secondImage_);
    CheckImageKind(firstImage_);
    CheckImageKind(secondImage_);
}

void LogoPage::ShowIconOnPageLoad() {
    if (NamesFile(iconFileEdit_)) {
        try {
            ShowIconImages(iconFileEdit_->text());
            return;
        } catch (const std::exception&) {
            // An icon file that cannot be split counts as no icon file.
        }
    }
    try {
        ShowIconImages(QString::fromStdString(context_.defaultIconFile));
    } catch (const std::exception&) {
        iconImageList_->clear();
    }
    iconFileEdit_->setText(QString::fromUtf8(kIconPrompt));
}

void LogoPage::LoadImageOnPageLoad(LogoImageControls& image) {
    if (!NamesFile(image.path) || !LoadThumbnail(image)) {
        image.thumbnail->hide();
        image.path->setText(QString::fromUtf8(kImagePrompt));
    }
    image.path->setCursorPosition(0);
}

void LogoPage::ApplyOptions(const OptionSet& o, const LogoLoadReport& report) {
    changeIconCheckBox_->setChecked(o.changeicon);
    iconFileEdit_->setText(QString::fromStdString(o.iconfilename));
    firstImage_.show->setChecked(o.showfirstimage);
    firstImage_.path->setText(QString::fromStdString(o.firstimage));
    firstImage_.appear->setChecked(o.firsttrans1);
    firstImage_.disappear->setChecked(o.firsttrans2);
    (o.firstclick == 1 ? firstImage_.mouseClick : firstImage_.autoClose)->setChecked(true);
    SetSeconds(firstImage_, o.firstsec);
    secondImage_.show->setChecked(o.showsecondimage);
    secondImage_.path->setText(QString::fromStdString(o.secondimage));
    secondImage_.appear->setChecked(o.secondtrans1);
    secondImage_.disappear->setChecked(o.secondtrans2);
    using Click = LogoLoadReport::SecondClick;
    switch (report.secondClick) {
        case Click::CheckAutoClose:
            secondImage_.autoClose->setChecked(true);
            break;
        case Click::UncheckAutoClose:
            Uncheck(secondImage_.autoClose);
            break;
        case Click::UncheckMouseClick:
            Uncheck(secondImage_.mouseClick);
            break;
        case Click::Unchanged:
            break;
    }
    SetSeconds(secondImage_, o.secondsec);
}

void LogoPage::requestClose() {
    emit closeRequested();
}

}  // namespace quorlix
