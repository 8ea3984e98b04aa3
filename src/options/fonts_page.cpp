#include "options/fonts_page.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "options/page_layout.h"
#include "widgets/window_geometry.h"

namespace quorlix {

namespace {

constexpr QRect kPanelArea(16, 34, 551, 396);

// The explanation shown while the font list is hidden, line by line.
QString ExplanationText() {
    return QStringList({QStringLiteral("If your Word file has special fonts, your Word may not "
                                       "run perfectly on other computers, since those fonts "),
                        QStringLiteral("may not have been installed on them [or your client's "
                                       "computer]. In that event, this section allows you to "),
                        QStringLiteral("embed the used fonts of your computer with output exe "
                                       "file, which this program will generate. Exe file thus "),
                        QStringLiteral("created will run properly, irrespective of the "
                                       "availability of fonts on the other computers."),
                        QString(),
                        QStringLiteral("Please note: To distribute the embedded fonts, you should "
                                       "follow the laws of your country.")})
        .join(QLatin1Char('\n'));
}

}  // namespace

FontsPage::FontsPage(PageContext& context, QWidget* parent)
    : OptionPage(parent), context_(context) {
    setObjectName(QStringLiteral("FontsPage"));
    embedFontsCheckBox_ = MakeCheckBox(this, QStringLiteral("embedFontsCheckBox"),
                                       QStringLiteral("Add embedded fonts"), 16, 10, 0, 17);
    FitCaption(embedFontsCheckBox_);
    connect(embedFontsCheckBox_, &QCheckBox::toggled, this, &FontsPage::showFontList);
    BuildExplanation();
    BuildFontList();
    fontsCloseButton_ = MakeButton(this, QStringLiteral("fontsCloseButton"),
                                   QStringLiteral("Close"), 456, 440, 80, 25);
    connect(fontsCloseButton_, &QPushButton::clicked, this, &OptionPage::closeRequested);
}

void FontsPage::BuildExplanation() {
    explanationPanel_ = new QFrame(this);
    explanationPanel_->setObjectName(QStringLiteral("explanationPanel"));
    explanationPanel_->setGeometry(kPanelArea);
    explanationPanel_->setEnabled(false);
    explanationText_ = new QPlainTextEdit(ExplanationText(), explanationPanel_);
    explanationText_->setObjectName(QStringLiteral("explanationText"));
    explanationText_->setGeometry(8, 8, kPanelArea.width() - 16, kPanelArea.height() - 16);
    explanationText_->setReadOnly(true);
    NameControl(explanationText_, QStringLiteral("About embedded fonts"));
    explanationText_->setFrameShape(QFrame::NoFrame);
    explanationText_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    explanationText_->viewport()->setAutoFillBackground(false);
    // The panel is disabled, yet its explanation stays readable.
    QPalette readable = explanationText_->palette();
    readable.setColor(QPalette::Disabled, QPalette::Text,
                      readable.color(QPalette::Active, QPalette::WindowText));
    explanationText_->setPalette(readable);
}

void FontsPage::BuildFontList() {
    fontListPanel_ = new QFrame(this);
    fontListPanel_->setObjectName(QStringLiteral("fontListPanel"));
    fontListPanel_->setGeometry(kPanelArea);
    fontListPanel_->setFrameShape(QFrame::StyledPanel);
    fontListPanel_->setAutoFillBackground(true);
    availableFontsLabel_ = MakeLabel(fontListPanel_, QStringLiteral("availableFontsLabel"),
                                     QStringLiteral("Avaible fonts in your computer:"), 10, 8);
    fontList_ = new QListWidget(fontListPanel_);
    fontList_->setObjectName(QStringLiteral("fontList"));
    fontList_->setGeometry(10, 26, kPanelArea.width() - 20, 318);
    NameControl(fontList_, QStringLiteral("Available fonts in your computer"),
                availableFontsLabel_);
    for (const FontListEntry& font : context_.fonts) {
        auto* item = new QListWidgetItem(QString::fromStdString(font.displayName), fontList_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    postscriptNoteLabel_ = MakeLabel(
        fontListPanel_, QStringLiteral("postscriptNoteLabel"),
        QStringLiteral(" If postscript fonts avaible, they are at bottom of the check list box "),
        10, 350);
    checkFontsLabel_ =
        MakeLabel(fontListPanel_, QStringLiteral("checkFontsLabel"),
                  QStringLiteral("Please checked on to select the emebdded fnots"), 10, 370);
    fontListPanel_->raise();
    fontListPanel_->hide();
}

void FontsPage::showFontList() {
    fontListPanel_->setVisible(embedFontsCheckBox_->isChecked());
}

void FontsPage::FillOptions(OptionSet& options) const {
    options.embedfonts = embedFontsCheckBox_->isChecked();
    options.embedfontlist.clear();
    for (int row = 0; row < fontList_->count(); ++row) {
        if (fontList_->item(row)->checkState() == Qt::Checked) {
            const FontListEntry& font = context_.fonts[static_cast<std::size_t>(row)];
            options.embedfontlist.push_back({font.displayName, font.fileEntry});
        }
    }
}

}  // namespace quorlix
