// quorlix-screenshots FOLDER [--windows-only]: renders the main window (each page), its File
// menu, the progress window during a real conversion, the logs window, the about box, the Code
// signing dialog, the password question and the image previews into PNG files for review; with
// --windows-only, the windows without the conversion and the previews (for the runs at other
// scale factors and fonts).
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <random>

#include "app/about_box.h"
#include "app/code_signing_dialog.h"
#include "app/program_identity.h"
#include "options/image_preview_window.h"
#include "options/logo_page.h"
#include "support/picture_files.h"
#include "support/test_folder.h"
#include "support/window_harness.h"
#include "widgets/picture_loading.h"
#include "widgets/qt_dialogs.h"
#include "widgets/window_geometry.h"

namespace {

QString g_folder;

void Save(QWidget& window, const QString& name) {
    QApplication::processEvents();
    const QString path = g_folder + QLatin1Char('/') + name + QStringLiteral(".png");
    if (window.grab().save(path)) {
        std::printf("%s\n", qPrintable(path));
    } else {
        std::fprintf(stderr, "quorlix-screenshots: cannot write %s\n", qPrintable(path));
    }
}

void WriteDocument(const std::string& path, std::size_t size) {
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random());
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

void ShootMainWindow(quorlix::test::WindowHarness& h) {
    auto& pages = h.operator()<QTabWidget>("pages");
    for (int i = 0; i < pages.count(); ++i) {
        pages.setCurrentIndex(i);
        Save(*h.window,
             QStringLiteral("main-%1-%2")
                 .arg(i)
                 .arg(pages.tabText(i).toLower().replace(QLatin1Char(' '), QLatin1Char('-'))));
    }
    pages.setCurrentIndex(0);
}

// The General option page with its hidden controls shown as well, to check they fit.
void ShootGeneralPage(quorlix::test::WindowHarness& h) {
    auto& pages = h.operator()<QTabWidget>("pages");
    pages.setCurrentIndex(1);
    const char* hidden[] = {"wordSizeRadio", "customSizeRadio", "hideToolBarCheckBox",
                            "macroGroup"};
    for (const char* name : hidden) {
        h.operator()<QWidget>(name).show();
    }
    Save(*h.window, QStringLiteral("page-general-hidden-shown"));
    for (const char* name : hidden) {
        h.operator()<QWidget>(name).hide();
    }
    pages.setCurrentIndex(0);
}

// The Watermark page with a text watermark in a font of its own and the hidden slider shown.
void ShootWatermarkPage(quorlix::test::WindowHarness& h) {
    auto& pages = h.operator()<QTabWidget>("pages");
    pages.setCurrentIndex(3);
    h.operator()<QRadioButton>("textWatermarkRadio").setChecked(true);
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPointSize(14);
    font.setItalic(true);
    h.dialogs.fonts.push_back(font);
    h.operator()<QPushButton>("selectFontButton").click();
    QFont large(QStringLiteral("DejaVu Serif"));
    large.setPointSize(200);
    large.setBold(true);
    h.dialogs.fonts.push_back(large);
    h.operator()<QPushButton>("selectFontButton").click();
    Save(*h.window, QStringLiteral("page-watermark-text-200pt"));
    h.dialogs.fonts.push_back(font);
    h.operator()<QPushButton>("selectFontButton").click();
    const char* hidden[] = {"transparentBackgroundCheckBox", "imageTransparencyLabel",
                            "imageTransparencySlider", "imageTransparencyValueLabel"};
    for (const char* name : hidden) {
        h.operator()<QWidget>(name).show();
    }
    Save(*h.window, QStringLiteral("page-watermark-text"));
    for (const char* name : hidden) {
        h.operator()<QWidget>(name).hide();
    }
    pages.setCurrentIndex(0);
}

// The Embed fonts page with its list shown and two fonts checked.
void ShootFontsPage(quorlix::test::WindowHarness& h) {
    auto& pages = h.operator()<QTabWidget>("pages");
    pages.setCurrentIndex(4);
    h.operator()<QCheckBox>("embedFontsCheckBox").setChecked(true);
    auto& list = h.operator()<QListWidget>("fontList");
    for (int row = 0; row < std::min(list.count(), 2); ++row) {
        list.item(row)->setCheckState(Qt::Checked);
    }
    Save(*h.window, QStringLiteral("page-fonts-list"));
    h.operator()<QCheckBox>("embedFontsCheckBox").setChecked(false);
    pages.setCurrentIndex(0);
}

void ShootConversion(quorlix::test::WindowHarness& h) {
    const QString work = g_folder + QStringLiteral("/work");
    QDir().mkpath(work + QStringLiteral("/out"));
    const std::string document = (work + QStringLiteral("/Annual report.docx")).toStdString();
    WriteDocument(document, 8 * 1024 * 1024);
    h.dialogs.fileLists.push_back({QString::fromStdString(document)});
    h.operator()<QPushButton>("addFilesButton").click();
    h.dialogs.folders.push_back(work + QStringLiteral("/out"));
    h.operator()<QAbstractButton>("outputFolderButton").click();
    Save(*h.window, QStringLiteral("main-0-conversion-list"));
    bool shot = false;
    QObject::connect(&h.progress, &quorlix::ProgressWindow::progressShown, [&] {
        if (!shot && h.progress.BarPosition() * 2 > h.progress.BarMaximum()) {
            shot = true;
            Save(h.progress, QStringLiteral("progress-window"));
            Save(*h.window, QStringLiteral("main-0-conversion-busy"));
        }
    });
    h.operator()<QPushButton>("convertButton").click();
    QDir(work).removeRecursively();
}

// A logo with soft edges: a disc whose alpha falls off towards its rim, and a caption.
QImage AlphaLogo() {
    QImage image(220, 140, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(QPointF(110, 70), 100);
    glow.setColorAt(0.0, QColor(20, 90, 200, 255));
    glow.setColorAt(0.6, QColor(20, 90, 200, 160));
    glow.setColorAt(1.0, QColor(20, 90, 200, 0));
    painter.setBrush(glow);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(110, 70), 105, 68);
    painter.setPen(Qt::white);
    painter.setFont(QFont(QStringLiteral("Liberation Sans"), 16, QFont::Bold));
    painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Dorvane"));
    return image;
}

// A photograph-like picture without alpha: a sky, hills and a sun.
QImage Landscape() {
    QImage image(320, 200, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 200);
    sky.setColorAt(0, QColor(120, 180, 240));
    sky.setColorAt(1, QColor(240, 220, 180));
    painter.fillRect(image.rect(), sky);
    painter.setBrush(QColor(250, 200, 60));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPoint(240, 60), 28, 28);
    QPainterPath hills;
    hills.moveTo(0, 200);
    hills.cubicTo(80, 90, 160, 190, 320, 120);
    hills.lineTo(320, 200);
    painter.fillPath(hills, QColor(60, 140, 70));
    return image;
}

// A GIF of a ring: index 3 is its transparent colour, index 2 the key colour RGB(0,1,0).
std::string RingGif() {
    const int w = 160;
    const int h = 120;
    std::vector<std::uint8_t> indexes;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double dx = (x - w / 2.0) / (w / 2.0);
            const double dy = (y - h / 2.0) / (h / 2.0);
            const double r = dx * dx + dy * dy;
            indexes.push_back(r < 0.25 ? 2 : r < 0.55 ? 0 : r < 0.95 ? 1 : 3);
        }
    }
    return quorlix::test::GifBytes(
        w, h, {qRgb(200, 30, 30), qRgb(250, 200, 40), qRgb(0, 1, 0), qRgb(255, 255, 255)}, indexes,
        3);
}

// What stands behind the preview: a striped backdrop with a caption.
class Backdrop : public QWidget {
public:
    Backdrop() : QWidget(nullptr, Qt::FramelessWindowHint) { resize(420, 300); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        for (int x = -height(); x < width(); x += 24) {
            painter.setPen(QPen(QColor(70, 70, 80), 12));
            painter.drawLine(x, height(), x + height(), 0);
        }
        const QString caption = QStringLiteral("(what is behind the preview)");
        const QRect box(8, 8, fontMetrics().horizontalAdvance(caption) + 8,
                        fontMetrics().height() + 4);
        painter.fillRect(box, QColor(30, 30, 36));
        painter.setPen(Qt::white);
        painter.drawText(box, Qt::AlignCenter, caption);
    }
};

void Settle() {
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
        QThread::msleep(30);
    }
}

void ShootLogoPage(quorlix::test::WindowHarness& h, const QString& work) {
    QDir().mkpath(work);
    const QString logo = work + QStringLiteral("/logo.png");
    const QString photo = work + QStringLiteral("/closing.jpg");
    AlphaLogo().save(logo, "PNG");
    Landscape().save(photo, "JPEG");
    h.operator()<QCheckBox>("changeIconCheckBox").setChecked(true);
    h.dialogs.files.push_back(QString::fromLatin1(QUORLIX_DEFAULT_ICON_PATH));
    h.operator()<QAbstractButton>("iconFileButton").click();
    h.operator()<QCheckBox>("showFirstImageCheckBox").setChecked(true);
    h.dialogs.files.push_back(logo);
    h.operator()<QAbstractButton>("firstImageButton").click();
    h.operator()<QCheckBox>("showSecondImageCheckBox").setChecked(true);
    h.dialogs.files.push_back(photo);
    h.operator()<QAbstractButton>("secondImageButton").click();
    h.operator()<QCheckBox>("secondImageFadeInCheckBox").setChecked(true);
    auto& pages = h.operator()<QTabWidget>("pages");
    pages.setCurrentIndex(2);
    Save(*h.window, QStringLiteral("main-2-logo-setup-loaded"));
    pages.setCurrentIndex(0);
}

// The preview over a backdrop as the screen shows it; a picture with alpha is laid over the
// backdrop as a compositing desktop shows it.
void ShootPreview(const QImage& picture, bool colourKey, const QString& name) {
    Backdrop backdrop;
    QScreen* screen = QGuiApplication::primaryScreen();
    backdrop.move(screen->geometry().center() - backdrop.rect().center());
    backdrop.show();
    quorlix::ImagePreviewWindow preview;
    preview.SetPicture(picture);
    if (colourKey) {
        preview.UseColourKey();
    } else {
        preview.PaintNoBackground();
    }
    preview.waitForClick = true;
    preview.show();
    Settle();
    QImage shot;
    if (colourKey) {
        shot =
            screen->grabWindow(0, backdrop.x(), backdrop.y(), backdrop.width(), backdrop.height())
                .toImage();
    }
    if (shot.isNull() || !colourKey) {
        shot = backdrop.grab().toImage();
        QPainter painter(&shot);
        painter.drawImage(preview.pos() - backdrop.pos(), preview.grab().toImage());
    }
    const QString path = g_folder + QLatin1Char('/') + name + QStringLiteral(".png");
    if (shot.save(path)) {
        std::printf("%s\n", qPrintable(path));
    }
    preview.close();
    backdrop.close();
}

void ShootPreviews() {
    ShootPreview(AlphaLogo(), false, QStringLiteral("preview-png-alpha"));
    const std::string gif = RingGif();
    const QString path = g_folder + QStringLiteral("/ring.gif");
    quorlix::test::WriteFile(path.toStdString(), gif);
    ShootPreview(quorlix::LoadPicture(path), true, QStringLiteral("preview-gif-colour-key"));
    QFile::remove(path);
}

// The File menu as it drops down.
void ShootFileMenu(quorlix::test::WindowHarness& h) {
    QMenu* file = h.window->menuBar()->actions().first()->menu();
    file->popup(h.window->mapToGlobal(QPoint(0, h.window->menuBar()->height())));
    Settle();
    Save(*file, QStringLiteral("file-menu"));
    file->hide();
}

// The Code signing dialog filled in, in the program's font and in DejaVu Sans, and the password
// question of the desktop's dialogs, typed into.
void ShootCodeSigning(quorlix::test::WindowHarness& h) {
    const quorlix::SigningDefaults settings{true, "/home/ann/keys/Dorvane Quorlix author.p12",
                                            "http://timestamp.example.com/rfc3161"};
    for (const char* family : {"Liberation Sans", "DejaVu Sans"}) {
        QFont font{QString::fromLatin1(family)};
        font.setPointSize(8);
        QApplication::setFont(font);
        quorlix::CodeSigningDialog dialog(h.dialogs, settings);
        dialog.show();
        Save(dialog,
             QStringLiteral("code-signing-dialog-") +
                 QString::fromLatin1(family).toLower().replace(QLatin1Char(' '), QLatin1Char('-')));
    }
    quorlix::ApplyProgramFont();
    quorlix::QtDialogs desktop;
    QTimer::singleShot(200, [] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* question = qobject_cast<QInputDialog*>(widget);
            if (question != nullptr && question->isVisible()) {
                question->findChild<QLineEdit*>()->setText(QStringLiteral("secret"));
                Save(*question, QStringLiteral("password-question"));
                question->accept();
            }
        }
    });
    const auto typed = desktop.AskPassword(h.window.get(), QStringLiteral("Code signing"),
                                           QStringLiteral("Password for author.p12:"));
    if (typed != QStringLiteral("secret")) {
        std::fprintf(stderr, "quorlix-screenshots: the password question did not answer\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(quorlix::kApplicationTitle));
    quorlix::ApplyProgramFont();
    g_folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    const bool windowsOnly = QApplication::arguments().contains(QStringLiteral("--windows-only"));
    QDir().mkpath(g_folder);

    quorlix::test::WindowHarness h;
    ShootMainWindow(h);
    ShootGeneralPage(h);
    ShootLogoPage(h, g_folder + QStringLiteral("/logo-work"));
    ShootWatermarkPage(h);
    ShootFontsPage(h);

    if (!windowsOnly) {
        ShootConversion(h);
    }
    h.logs.SetFailures(
        {{"/home/ann/out/Plan/Plan.exe",
          "replacing the old output: /home/ann/out/Plan/Plan.exe: Is a directory"},
         {"/home/ann/out/Minutes.exe",
          "embedding the document: /home/ann/Minutes.doc: No such file or directory"}});
    h.logs.show();
    Save(h.logs, QStringLiteral("logs-window"));
    h.logs.hide();

    quorlix::AboutBox about(h.dialogs);
    about.show();
    Save(about, QStringLiteral("about-box"));
    about.hide();
    ShootFileMenu(h);
    ShootCodeSigning(h);
    if (!windowsOnly) {
        ShootPreviews();
    }
    QDir(g_folder + QStringLiteral("/logo-work")).removeRecursively();
    return 0;
}
