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
#include <algorithm>

#include "app/about_box.h"
#include "app/help_actions.h"
#include "app/logs_window.h"
#include "app/output_signing.h"
#include "app/progress_window.h"
#include "options/fonts_page.h"
#include "options/general_page.h"
#include "options/logo_page.h"
#include "options/watermark_page.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/owner_record.h"
#include "platform/program_resources.h"
#include "widgets/dialogs.h"
#include "widgets/file_drop.h"
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
    pages_ = new QTabWidget(client);
    pages_->setObjectName(QStringLiteral("pages"));
    pages_->setGeometry(0, 0, kClientWidth, kClientHeight);
    NameControl(pages_, QStringLiteral("Pages"));
    auto* conversion = new QWidget();
    conversion->setObjectName(QStringLiteral("conversionPage"));
    BuildConversionPage(conversion);
    pages_->addTab(conversion, QStringLiteral("Conversion"));

    StartUp();

    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

MainWindow::~MainWindow() {
    ShutDown();
}

void MainWindow::BuildMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->addAction(QStringLiteral("Code signing..."), this, &MainWindow::editCodeSigning)
        ->setObjectName(QStringLiteral("codeSigningAction"));
    file->addSeparator();
    QAction* close = file->addAction(QStringLiteral("Close"), this, &MainWindow::closeMainWindow);
    close->setObjectName(QStringLiteral("closeAction"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->addAction(QStringLiteral("Help"), this, &MainWindow::openHelp)
        ->setObjectName(QStringLiteral("helpAction"));
    help->addAction(QStringLiteral("Dorvane's web site"), this, &MainWindow::openWebSite)
        ->setObjectName(QStringLiteral("webSiteAction"));
    help->addAction(QStringLiteral("Email support"), this, &MainWindow::emailSupport)
        ->setObjectName(QStringLiteral("emailSupportAction"));
    help->addAction(QStringLiteral("About"), this, &MainWindow::showAbout)
        ->setObjectName(QStringLiteral("aboutAction"));
}

void MainWindow::BuildConversionPage(QWidget* page) {
    documentListLabel_ = MakeLabel(page, QStringLiteral("documentListLabel"),
                                   QStringLiteral("Word Source File:"), 24, 4);

    documentListView_ = new QTableWidget(0, 1, page);
    documentListView_->setObjectName(QStringLiteral("documentListView"));
    documentListView_->setGeometry(24, 26, 441, 135);
    documentListView_->setHorizontalHeaderLabels({QStringLiteral("File list")});
    documentListView_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    documentListView_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    documentListView_->setColumnWidth(0, 415);
    documentListView_->verticalHeader()->setVisible(false);
    documentListView_->verticalHeader()->setDefaultSectionSize(
        documentListView_->fontMetrics().height() + 4);
    documentListView_->setShowGrid(true);
    documentListView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    documentListView_->setSelectionMode(QAbstractItemView::SingleSelection);
    documentListView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab moves on to the next control, not from row to row.
    documentListView_->setTabKeyNavigation(false);
    NameControl(documentListView_, QStringLiteral("Word Source File list"), documentListLabel_);
    documentListView_->setWordWrap(false);
    QPalette listPalette = documentListView_->palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
        listPalette.setColor(QPalette::Inactive, role, listPalette.color(QPalette::Active, role));
    }
    documentListView_->setPalette(listPalette);
    connect(documentListView_, &QTableWidget::itemSelectionChanged, this,
            &MainWindow::documentSelectionChanged);
    connect(documentListView_, &QTableWidget::cellDoubleClicked, this,
            &MainWindow::documentDoubleClicked);

    addFilesButton_ = MakeButton(page, QStringLiteral("addFilesButton"),
                                 QStringLiteral("Add files"), 480, 32, 73, 25);
    addFolderButton_ = MakeButton(page, QStringLiteral("addFolderButton"),
                                  QStringLiteral("Add Folder"), 480, 64, 73, 25);
    removeButton_ =
        MakeButton(page, QStringLiteral("removeButton"), QStringLiteral("Remove"), 480, 96, 73, 25);
    removeAllButton_ = MakeButton(page, QStringLiteral("removeAllButton"),
                                  QStringLiteral("Remove All"), 480, 128, 73, 25);
    removeButton_->setEnabled(false);
    removeAllButton_->setEnabled(false);
    connect(addFilesButton_, &QPushButton::clicked, this, &MainWindow::addFiles);
    connect(addFolderButton_, &QPushButton::clicked, this, &MainWindow::addFolder);
    connect(removeButton_, &QPushButton::clicked, this, &MainWindow::removeSelected);
    connect(removeAllButton_, &QPushButton::clicked, this, &MainWindow::removeAll);

    outputFolderLabel_ = MakeLabel(page, QStringLiteral("outputFolderLabel"),
                                   QStringLiteral("Executable output folder:"), 24, 173);
    outputFolderEdit_ = new QLineEdit(kOutputFolderPrompt, page);
    outputFolderEdit_->setObjectName(QStringLiteral("outputFolderEdit"));
    outputFolderEdit_->setGeometry(24, 190, 425, 21);
    outputFolderEdit_->setReadOnly(true);
    outputFolderEdit_->setCursorPosition(0);
    outputFolderButton_ = new QToolButton(page);
    outputFolderButton_->setObjectName(QStringLiteral("outputFolderButton"));
    outputFolderButton_->setGeometry(451, 189, 22, 22);
    outputFolderButton_->setAutoRaise(true);
    outputFolderButton_->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    outputFolderButton_->setToolTip(QStringLiteral("Click to select"));
    NameControl(outputFolderEdit_, QStringLiteral("Executable output folder"), outputFolderLabel_);
    NameControl(outputFolderButton_, QStringLiteral("Choose output folder"));
    connect(outputFolderButton_, &QToolButton::clicked, this, &MainWindow::chooseOutputFolder);

    autorunCheckBox_ =
        MakeCheckBox(page, QStringLiteral("autorunCheckBox"),
                     QStringLiteral("Generate an Autorun file for VCD/DVD disc"), 24, 231, 241, 17);

    busyNotice_ = new QLabel(QStringLiteral("Please wait for a moment...."), page);
    busyNotice_->setObjectName(QStringLiteral("busyNotice"));
    busyNotice_->setGeometry(96, 256, 345, 49);
    busyNotice_->setAlignment(Qt::AlignCenter);
    busyNotice_->setFrameShape(QFrame::Panel);
    busyNotice_->setFrameShadow(QFrame::Raised);
    busyNotice_->setAutoFillBackground(true);
    QPalette notice = busyNotice_->palette();
    notice.setColor(QPalette::Window, notice.color(QPalette::ToolTipBase));
    notice.setColor(QPalette::WindowText, notice.color(QPalette::ToolTipText));
    busyNotice_->setPalette(notice);
    busyNotice_->hide();

    convertButton_ = MakeButton(page, QStringLiteral("convertButton"), QStringLiteral("Convert"),
                                56, 447, 80, 25);
    openOutputFolderButton_ = MakeButton(page, QStringLiteral("openOutputFolderButton"),
                                         QStringLiteral("Open output foler"), 241, 447, 105, 25);
    openOutputFolderButton_->setEnabled(false);
    closeButton_ =
        MakeButton(page, QStringLiteral("closeButton"), QStringLiteral("Close"), 456, 447, 80, 25);
    connect(openOutputFolderButton_, &QPushButton::clicked, this, &MainWindow::openOutputFolder);
    connect(closeButton_, &QPushButton::clicked, this, &MainWindow::closeMainWindow);
    AcceptDrops();
}

void MainWindow::BuildPages() {
    pageContext_ = std::make_unique<PageContext>(
        PageContext{dialogs_, defaultIconFile_, iconPreviewFolder_->path(), fonts_});
    generalPage_ = new GeneralPage(*pageContext_);
    logoPage_ = new LogoPage(*pageContext_);
    watermarkPage_ = new WatermarkPage(*pageContext_);
    fontsPage_ = new FontsPage(*pageContext_);
    pages_->addTab(generalPage_, QStringLiteral("General option"));
    pages_->addTab(logoPage_, QStringLiteral("Logo setup"));
    pages_->addTab(watermarkPage_, QStringLiteral("Watermark"));
    pages_->addTab(fontsPage_, QStringLiteral("Embed fonts"));
    for (OptionPage* page :
         {static_cast<OptionPage*>(generalPage_), static_cast<OptionPage*>(logoPage_),
          static_cast<OptionPage*>(watermarkPage_), static_cast<OptionPage*>(fontsPage_)}) {
        connect(page, &OptionPage::closeRequested, this, &MainWindow::closeMainWindow);
    }
}

void MainWindow::StartUp() {
    connect(convertButton_, &QPushButton::clicked, this, &MainWindow::convert);
    // Folders and outputs that crashed runs of this program left behind; never a running copy's.
    RemoveLeftoversOfDeadRuns();
    defaultIconFolder_ = std::make_unique<RunFolder>(NewRunFolderPath());
    iconPreviewFolder_ = std::make_unique<RunFolder>(NewRunFolderPath());
    defaultIconFile_ = defaultIconFolder_->path() + "/myico.ico";
    WriteDefaultIcon(defaultIconFile_);
    fonts_ = ListInstalledFonts();
    BuildPages();
    if (auto* box = findChild<QCheckBox*>(QStringLiteral("allowSaveCheckBox"))) {
        box->setVisible(true);
    }
    pages_->setCurrentIndex(0);
    // The stored defaults, in the order Logo setup, Watermark, General option.
    logoPage_->LoadFromDefaults();
    watermarkPage_->LoadFromDefaults();
    generalPage_->LoadFromDefaults();
    outputSigning_ = std::make_unique<OutputSigning>(dialogs_, *this);
    outputSigning_->LoadFromDefaults();
}

void MainWindow::ShutDown() {
    iconPreviewFolder_.reset();
    defaultIconFolder_.reset();
    fonts_.clear();
}

bool MainWindow::Busy() const {
    return !busyNotice_->isHidden();
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

void MainWindow::addFiles() {
    const QStringList files = dialogs_.OpenFiles(
        this, {QString(), QStringLiteral("MS Word Files|*.doc;*.docx"), QStringLiteral("doc")});
    if (files.isEmpty()) {
        return;
    }
    const std::size_t before = documents_.size();
    for (const QString& file : files) {
        documents_.AddFile(file.toStdString());
    }
    ShowAddedDocuments(before, true);
}

void MainWindow::addFolder() {
    const QString folder =
        dialogs_.BrowseForFolder(this, QStringLiteral("Please select Excel file folder"));
    if (folder.isEmpty()) {
        return;
    }
    const std::size_t before = documents_.size();
    documents_.AddFolder(folder.toStdString());
    ShowAddedDocuments(before, documents_.size() > before);
}

void MainWindow::addDroppedDocuments(const QStringList& paths) {
    const std::size_t before = documents_.size();
    // A file the add-files dialog would offer selects the last item, as that dialog does.
    bool fileTaken = false;
    for (const QString& path : paths) {
        const std::string native = path.toStdString();
        if (FolderExists(native)) {
            documents_.AddFolder(native);
        } else if (FileExists(native) && IsWordDocumentName(native)) {
            documents_.AddFile(native);
            fileTaken = true;
        }
    }
    ShowAddedDocuments(before, fileTaken || documents_.size() > before);
}

void MainWindow::ShowAddedDocuments(std::size_t before, bool selectLast) {
    AppendListRows(before);
    if (selectLast) {
        SelectAndShow(documentListView_->rowCount() - 1);
    } else if (SelectedRow() >= 0) {
        documentListView_->scrollToItem(documentListView_->item(SelectedRow(), 0));
    }
    UpdateListButtons();
}

void MainWindow::removeSelected() {
    const int k = SelectedRow();
    if (k >= 0) {
        documents_.Remove(static_cast<std::size_t>(k));
        documentListView_->removeRow(k);
    }
    documentListView_->clearSelection();
    if (k > 0) {
        documentListView_->selectRow(k - 1);
    } else if (k == 0 && documentListView_->rowCount() > 0) {
        documentListView_->selectRow(0);
    }
    UpdateListButtons();
}

void MainWindow::removeAll() {
    documents_.Clear();
    documentListView_->setRowCount(0);
    UpdateListButtons();
}

void MainWindow::documentSelectionChanged() {
    UpdateListButtons();
}

void MainWindow::documentDoubleClicked() {
    removeSelected();
}

void MainWindow::UpdateListButtons() {
    const bool hasItems = documentListView_->rowCount() > 0;
    const bool removable = hasItems && SelectedRow() >= 0;
    if (removeAllButton_->isEnabled() != hasItems) {
        removeAllButton_->setEnabled(hasItems);
    }
    if (removeButton_->isEnabled() != removable) {
        removeButton_->setEnabled(removable);
    }
}

void MainWindow::AppendListRows(std::size_t from) {
    for (std::size_t i = from; i < documents_.size(); ++i) {
        const int row = documentListView_->rowCount();
        documentListView_->insertRow(row);
        documentListView_->setItem(
            row, 0, new QTableWidgetItem(QString::fromStdString(documents_.items()[i])));
    }
    UpdateListButtons();
}

void MainWindow::SelectAndShow(int row) {
    if (row < 0) {
        return;
    }
    documentListView_->selectRow(row);
    documentListView_->scrollToItem(documentListView_->item(row, 0),
                                    QAbstractItemView::EnsureVisible);
}

int MainWindow::SelectedRow() const {
    const QList<QTableWidgetItem*> selected = documentListView_->selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->row();
}

void MainWindow::chooseOutputFolder() {
    const QString folder =
        dialogs_.BrowseForFolder(this, QStringLiteral("Please select EXE output folder"));
    if (!folder.isEmpty()) {
        SetOutputFolder(folder);
    }
}

void MainWindow::setDroppedOutputFolder(const QStringList& paths) {
    for (const QString& path : paths) {
        if (FolderExists(path.toStdString())) {
            SetOutputFolder(path);
            return;
        }
    }
}

void MainWindow::SetOutputFolder(QString folder) {
    while (folder.endsWith(QLatin1Char('/'))) {
        folder.chop(1);
    }
    outputFolderEdit_->setText(folder + QLatin1Char('/'));
    outputFolderEdit_->setCursorPosition(0);
}

void MainWindow::AcceptDrops() {
    new FileDropTarget(
        documentListView_->viewport(),
        [](const QStringList& paths) {
            return std::ranges::any_of(paths, [](const QString& path) {
                const std::string native = path.toStdString();
                return FolderExists(native) || IsWordDocumentName(native);
            });
        },
        [this](const QStringList& paths) { addDroppedDocuments(paths); });
    new FileDropTarget(
        outputFolderEdit_,
        [](const QStringList& paths) {
            return std::ranges::any_of(
                paths, [](const QString& path) { return FolderExists(path.toStdString()); });
        },
        [this](const QStringList& paths) { setDroppedOutputFolder(paths); });
}

void MainWindow::openOutputFolder() {
    dialogs_.OpenUrl(QUrl::fromLocalFile(outputFolderEdit_->text()));
}

void MainWindow::editCodeSigning() {
    outputSigning_->Edit();
}

void MainWindow::closeMainWindow() {
    close();
}

void MainWindow::openHelp() {
    OpenHelpFile(dialogs_, QCoreApplication::applicationDirPath());
}

void MainWindow::openWebSite() {
    OpenWebSite(dialogs_);
}

void MainWindow::emailSupport() {
    OpenSupportMail(dialogs_);
}

void MainWindow::showAbout() {
    AboutBox about(dialogs_, this);
    about.exec();
}

void MainWindow::ShowBusyNotice(bool shown) {
    busyNotice_->setVisible(shown);
    if (shown) {
        busyNotice_->repaint();
    }
}

}  // namespace quorlix
