#include "app/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>

#include "app/about_box.h"
#include "app/help_actions.h"
#include "app/logs_window.h"
#include "app/progress_window.h"
#include "options/fonts_page.h"
#include "options/general_page.h"
#include "options/logo_page.h"
#include "options/watermark_page.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/owner_record.h"
#include "platform/program_resources.h"
#include "widgets/dialogs.h"
#include "widgets/window_geometry.h"

namespace quorlix {

namespace {

constexpr int kClientWidth = 589;
constexpr int kClientHeight = 507;
const QString kOutputFolderPrompt =
    QStringLiteral("Please click right button to select the output exe folder->");

// Writes the program's default icon file, byte for byte, as a new file.
void WriteDefaultIcon(const std::string& path) {
    const auto bytes = FindProgramResource("ICONFILE", "DORICON");
    if (!bytes) {
        throw Error("The program's icon resource is missing");
    }
    File file = File::Open(path, File::Mode::CreateNew);
    file.WriteAll(bytes->data(), bytes->size());
    file.Close();
}

}  // namespace

MainWindow::MainWindow(Dialogs& dialogs, ProgressWindow& progress, LogsWindow& logs,
                       QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      dialogs_(dialogs),
      progress_(progress),
      logs_(logs) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Dorvane Quorlix "));
    BuildMenu();
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);
    PageControl1 = new QTabWidget(client);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, 0, kClientWidth, kClientHeight);
    auto* conversion = new QWidget();
    conversion->setObjectName(QStringLiteral("TabSheet1"));
    BuildConversionPage(conversion);
    PageControl1->addTab(conversion, QStringLiteral("Conversion"));

    StartUp();

    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

MainWindow::~MainWindow() {
    FormDestroy();
}

void MainWindow::BuildMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    QAction* close = file->addAction(QStringLiteral("Close"), this, &MainWindow::Close1Click);
    close->setObjectName(QStringLiteral("Close1"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->addAction(QStringLiteral("Help"), this, &MainWindow::no2Click)
        ->setObjectName(QStringLiteral("no2"));
    help->addAction(QStringLiteral("Dorvane's web site"), this, &MainWindow::no5Click)
        ->setObjectName(QStringLiteral("no5"));
    help->addAction(QStringLiteral("Email support"), this, &MainWindow::Emailsupport1Click)
        ->setObjectName(QStringLiteral("Emailsupport1"));
    help->addAction(QStringLiteral("About"), this, &MainWindow::About1Click)
        ->setObjectName(QStringLiteral("About1"));
}

void MainWindow::BuildConversionPage(QWidget* page) {
    Label1 = MakeLabel(page, QStringLiteral("Label1"), QStringLiteral("Word Source File:"), 24, 4);

    ListView1 = new QTableWidget(0, 1, page);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(24, 26, 441, 135);
    ListView1->setHorizontalHeaderLabels({QStringLiteral("File list")});
    ListView1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ListView1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ListView1->setColumnWidth(0, 415);
    ListView1->verticalHeader()->setVisible(false);
    ListView1->verticalHeader()->setDefaultSectionSize(ListView1->fontMetrics().height() + 4);
    ListView1->setShowGrid(true);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setWordWrap(false);
    QPalette listPalette = ListView1->palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
        listPalette.setColor(QPalette::Inactive, role, listPalette.color(QPalette::Active, role));
    }
    ListView1->setPalette(listPalette);
    connect(ListView1, &QTableWidget::itemSelectionChanged, this, &MainWindow::ListView1Change);
    connect(ListView1, &QTableWidget::cellDoubleClicked, this, &MainWindow::ListView1DblClick);

    bitb1 = MakeButton(page, QStringLiteral("bitb1"), QStringLiteral("Add files"), 480, 32, 73, 25);
    bitb2 =
        MakeButton(page, QStringLiteral("bitb2"), QStringLiteral("Add Folder"), 480, 64, 73, 25);
    bitb3 = MakeButton(page, QStringLiteral("bitb3"), QStringLiteral("Remove"), 480, 96, 73, 25);
    bitb4 =
        MakeButton(page, QStringLiteral("bitb4"), QStringLiteral("Remove All"), 480, 128, 73, 25);
    bitb3->setEnabled(false);
    bitb4->setEnabled(false);
    connect(bitb1, &QPushButton::clicked, this, &MainWindow::bitb1Click);
    connect(bitb2, &QPushButton::clicked, this, &MainWindow::bitb2Click);
    connect(bitb3, &QPushButton::clicked, this, &MainWindow::bitb3Click);
    connect(bitb4, &QPushButton::clicked, this, &MainWindow::bitb4Click);

    Label2 = MakeLabel(page, QStringLiteral("Label2"), QStringLiteral("Executable output folder:"),
                       24, 173);
    Edit2 = new QLineEdit(kOutputFolderPrompt, page);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(24, 190, 425, 21);
    Edit2->setReadOnly(true);
    Edit2->setCursorPosition(0);
    SpeedButton2 = new QToolButton(page);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    SpeedButton2->setGeometry(451, 189, 22, 22);
    SpeedButton2->setAutoRaise(true);
    SpeedButton2->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    SpeedButton2->setToolTip(QStringLiteral("Click to select"));
    connect(SpeedButton2, &QToolButton::clicked, this, &MainWindow::SpeedButton2Click);

    CheckBox1 =
        MakeCheckBox(page, QStringLiteral("CheckBox1"),
                     QStringLiteral("Generate an Autorun file for VCD/DVD disc"), 24, 231, 241, 17);

    Panel13 = new QLabel(QStringLiteral("Please wait for a moment...."), page);
    Panel13->setObjectName(QStringLiteral("Panel13"));
    Panel13->setGeometry(96, 256, 345, 49);
    Panel13->setAlignment(Qt::AlignCenter);
    Panel13->setFrameShape(QFrame::Panel);
    Panel13->setFrameShadow(QFrame::Raised);
    Panel13->setAutoFillBackground(true);
    QPalette notice = Panel13->palette();
    notice.setColor(QPalette::Window, notice.color(QPalette::ToolTipBase));
    notice.setColor(QPalette::WindowText, notice.color(QPalette::ToolTipText));
    Panel13->setPalette(notice);
    Panel13->hide();

    Button1 =
        MakeButton(page, QStringLiteral("Button1"), QStringLiteral("Convert"), 56, 447, 80, 25);
    Button6 = MakeButton(page, QStringLiteral("Button6"), QStringLiteral("Open output foler"), 241,
                         447, 105, 25);
    Button6->setEnabled(false);
    Button2 =
        MakeButton(page, QStringLiteral("Button2"), QStringLiteral("Close"), 456, 447, 80, 25);
    connect(Button6, &QPushButton::clicked, this, &MainWindow::Button6Click);
    connect(Button2, &QPushButton::clicked, this, &MainWindow::Button2Click);

    Panel1 = new QFrame(page);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(480, 160, 33, 25);
    Panel1->hide();
}

void MainWindow::BuildPages() {
    pageContext_ = std::make_unique<PageContext>(
        PageContext{dialogs_, defaultIconFile_, iconPreviewFolder_->path(), fonts_});
    generalPage_ = new GeneralPage(*pageContext_);
    logoPage_ = new LogoPage(*pageContext_);
    watermarkPage_ = new WatermarkPage(*pageContext_);
    fontsPage_ = new FontsPage(*pageContext_);
    PageControl1->addTab(generalPage_, QStringLiteral("General option"));
    PageControl1->addTab(logoPage_, QStringLiteral("Logo setup"));
    PageControl1->addTab(watermarkPage_, QStringLiteral("Watermark"));
    PageControl1->addTab(fontsPage_, QStringLiteral("Embed fonts"));
    for (OptionPage* page :
         {static_cast<OptionPage*>(generalPage_), static_cast<OptionPage*>(logoPage_),
          static_cast<OptionPage*>(watermarkPage_), static_cast<OptionPage*>(fontsPage_)}) {
        connect(page, &OptionPage::closeRequested, this, &MainWindow::Button2Click);
    }
}

void MainWindow::StartUp() {
    connect(Button1, &QPushButton::clicked, this, &MainWindow::ConvertClick);
    // Folders and outputs that crashed runs of this program left behind; never a running copy's.
    RemoveLeftoversOfDeadRuns();
    defaultIconFolder_ = std::make_unique<RunFolder>(NewRunFolderPath());
    iconPreviewFolder_ = std::make_unique<RunFolder>(NewRunFolderPath());
    defaultIconFile_ = defaultIconFolder_->path() + "/myico.ico";
    WriteDefaultIcon(defaultIconFile_);
    fonts_ = ListInstalledFonts();
    BuildPages();
    if (auto* box = findChild<QCheckBox*>(QStringLiteral("CheckBox43"))) {
        box->setVisible(true);
    }
    PageControl1->setCurrentIndex(0);
    // The stored defaults, in the order Logo setup, Watermark, General option.
    logoPage_->LoadFromDefaults();
    watermarkPage_->LoadFromDefaults();
    generalPage_->LoadFromDefaults();
}

void MainWindow::FormDestroy() {
    iconPreviewFolder_.reset();
    defaultIconFolder_.reset();
    stagingFolder_.reset();
    fonts_.clear();
}

std::string MainWindow::stagingFolder() const {
    return stagingFolder_ ? stagingFolder_->path() : std::string();
}

bool MainWindow::Busy() const {
    return !Panel13->isHidden();
}

void MainWindow::RequestClose() {
    if (Busy()) {
        closeWhenIdle_ = true;
        progress_.RequestCancel();
        return;
    }
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A close during a run stops the run first; the window closes when it has ended.
    if (Busy()) {
        event->ignore();
        RequestClose();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::bitb1Click() {
    const QStringList files = dialogs_.OpenFiles(
        this, {QString(), QStringLiteral("MS Word Files|*.doc;*.docx"), QStringLiteral("doc")});
    if (files.isEmpty()) {
        return;
    }
    const std::size_t before = documents_.size();
    for (const QString& file : files) {
        documents_.AddFile(file.toStdString());
    }
    AppendListRows(before);
    SelectAndShow(ListView1->rowCount() - 1);
    UpdateListButtons();
}

void MainWindow::bitb2Click() {
    const QString folder =
        dialogs_.BrowseForFolder(this, QStringLiteral("Please select Excel file folder"));
    if (folder.isEmpty()) {
        return;
    }
    const std::size_t before = documents_.size();
    documents_.AddFolder(folder.toStdString());
    AppendListRows(before);
    if (documents_.size() > before) {
        SelectAndShow(ListView1->rowCount() - 1);
    } else if (SelectedRow() >= 0) {
        ListView1->scrollToItem(ListView1->item(SelectedRow(), 0));
    }
}

void MainWindow::bitb3Click() {
    const int k = SelectedRow();
    if (k >= 0) {
        documents_.Remove(static_cast<std::size_t>(k));
        ListView1->removeRow(k);
    }
    ListView1->clearSelection();
    if (k > 0) {
        ListView1->selectRow(k - 1);
    } else if (k == 0 && ListView1->rowCount() > 0) {
        ListView1->selectRow(0);
    }
    UpdateListButtons();
}

void MainWindow::bitb4Click() {
    documents_.Clear();
    ListView1->setRowCount(0);
    UpdateListButtons();
}

void MainWindow::ListView1Change() {
    UpdateListButtons();
}

void MainWindow::ListView1DblClick() {
    bitb3Click();
}

void MainWindow::UpdateListButtons() {
    const bool hasItems = ListView1->rowCount() > 0;
    const bool removable = hasItems && SelectedRow() >= 0;
    if (bitb4->isEnabled() != hasItems) {
        bitb4->setEnabled(hasItems);
    }
    if (bitb3->isEnabled() != removable) {
        bitb3->setEnabled(removable);
    }
}

void MainWindow::AppendListRows(std::size_t from) {
    for (std::size_t i = from; i < documents_.size(); ++i) {
        const int row = ListView1->rowCount();
        ListView1->insertRow(row);
        ListView1->setItem(row, 0,
                           new QTableWidgetItem(QString::fromStdString(documents_.items()[i])));
    }
    UpdateListButtons();
}

void MainWindow::SelectAndShow(int row) {
    if (row < 0) {
        return;
    }
    ListView1->selectRow(row);
    ListView1->scrollToItem(ListView1->item(row, 0), QAbstractItemView::EnsureVisible);
}

int MainWindow::SelectedRow() const {
    const QList<QTableWidgetItem*> selected = ListView1->selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->row();
}

void MainWindow::SpeedButton2Click() {
    QString folder =
        dialogs_.BrowseForFolder(this, QStringLiteral("Please select EXE output folder"));
    if (folder.isEmpty()) {
        return;
    }
    while (folder.endsWith(QLatin1Char('/'))) {
        folder.chop(1);
    }
    Edit2->setText(folder + QLatin1Char('/'));
    Edit2->setCursorPosition(0);
}

void MainWindow::Button6Click() {
    dialogs_.OpenUrl(QUrl::fromLocalFile(Edit2->text()));
}

void MainWindow::Button2Click() {
    close();
}

void MainWindow::Close1Click() {
    close();
}

void MainWindow::no2Click() {
    OpenHelpFile(dialogs_);
}

void MainWindow::no5Click() {
    OpenWebSite(dialogs_);
}

void MainWindow::Emailsupport1Click() {
    OpenSupportMail(dialogs_);
}

void MainWindow::About1Click() {
    AboutBox about(dialogs_, this);
    about.exec();
}

void MainWindow::ShowBusyNotice(bool shown) {
    Panel13->setVisible(shown);
    if (shown) {
        Panel13->repaint();
    }
}

}  // namespace quorlix
