// quorlix-screenshots FOLDER: renders the main window (each page), the progress window during a
// real conversion, the logs window and the about box into PNG files for review.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <random>

#include "app/about_box.h"
#include "app/program_identity.h"
#include "app/window_geometry.h"
#include "support/window_harness.h"

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
    auto& pages = h.operator()<QTabWidget>("PageControl1");
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
    auto& pages = h.operator()<QTabWidget>("PageControl1");
    pages.setCurrentIndex(1);
    const char* hidden[] = {"RadioButton21", "RadioButton22", "CheckBox26", "GroupBox13"};
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
    auto& pages = h.operator()<QTabWidget>("PageControl1");
    pages.setCurrentIndex(3);
    h.operator()<QRadioButton>("RadioButton14").setChecked(true);
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPointSize(14);
    font.setItalic(true);
    h.dialogs.fonts.push_back(font);
    h.operator()<QPushButton>("BitBtn6").click();
    const char* hidden[] = {"CheckBox28", "Label70", "TrackBar1", "Label71"};
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
    auto& pages = h.operator()<QTabWidget>("PageControl1");
    pages.setCurrentIndex(4);
    h.operator()<QCheckBox>("CheckBox24").setChecked(true);
    auto& list = h.operator()<QListWidget>("CheckListBox1");
    for (int row = 0; row < std::min(list.count(), 2); ++row) {
        list.item(row)->setCheckState(Qt::Checked);
    }
    Save(*h.window, QStringLiteral("page-fonts-list"));
    h.operator()<QCheckBox>("CheckBox24").setChecked(false);
    pages.setCurrentIndex(0);
}

void ShootConversion(quorlix::test::WindowHarness& h) {
    const QString work = g_folder + QStringLiteral("/work");
    QDir().mkpath(work + QStringLiteral("/out"));
    const std::string document = (work + QStringLiteral("/Annual report.docx")).toStdString();
    WriteDocument(document, 8 * 1024 * 1024);
    h.progress.SetPausesEnabled(false);
    h.dialogs.fileLists.push_back({QString::fromStdString(document)});
    h.operator()<QPushButton>("bitb1").click();
    h.dialogs.folders.push_back(work + QStringLiteral("/out"));
    h.operator()<QAbstractButton>("SpeedButton2").click();
    Save(*h.window, QStringLiteral("main-0-conversion-list"));
    bool shot = false;
    QObject::connect(&h.progress, &quorlix::TForm2::progressShown, [&] {
        if (!shot && h.progress.BarPosition() * 2 > h.progress.BarMaximum()) {
            shot = true;
            Save(h.progress, QStringLiteral("progress-window"));
            Save(*h.window, QStringLiteral("main-0-conversion-busy"));
        }
    });
    h.operator()<QPushButton>("Button1").click();
    QDir(work).removeRecursively();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(quorlix::kApplicationTitle));
    quorlix::ApplyProgramFont();
    g_folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(g_folder);

    quorlix::test::WindowHarness h;
    ShootMainWindow(h);
    ShootGeneralPage(h);
    ShootWatermarkPage(h);
    ShootFontsPage(h);
    ShootConversion(h);

    h.logs.SetFailures({QStringLiteral("/home/ann/out/Plan/Plan.exe"),
                        QStringLiteral("/home/ann/out/Minutes/Minutes.exe")});
    h.logs.show();
    Save(h.logs, QStringLiteral("logs-window"));
    h.logs.hide();

    quorlix::Tform4 about(h.dialogs);
    about.show();
    Save(about, QStringLiteral("about-box"));
    return 0;
}
