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
    CheckBox24 = MakeCheckBox(this, QStringLiteral("CheckBox24"),
                              QStringLiteral("Add embedded fonts"), 16, 10, 0, 17);
    FitCaption(CheckBox24);
    connect(CheckBox24, &QCheckBox::toggled, this, &FontsPage::CheckBox24Click);
    BuildExplanation();
    BuildFontList();
    Button15 =
        MakeButton(this, QStringLiteral("Button15"), QStringLiteral("Close"), 456, 440, 80, 25);
    connect(Button15, &QPushButton::clicked, this, &OptionPage::closeRequested);
}

void FontsPage::BuildExplanation() {
    Panel16 = new QFrame(this);
    Panel16->setObjectName(QStringLiteral("Panel16"));
    Panel16->setGeometry(kPanelArea);
    Panel16->setEnabled(false);
    Memo8 = new QPlainTextEdit(ExplanationText(), Panel16);
    Memo8->setObjectName(QStringLiteral("Memo8"));
    Memo8->setGeometry(8, 8, kPanelArea.width() - 16, kPanelArea.height() - 16);
    Memo8->setReadOnly(true);
    Memo8->setFrameShape(QFrame::NoFrame);
    Memo8->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo8->viewport()->setAutoFillBackground(false);
    // The panel is disabled, yet its explanation stays readable.
    QPalette readable = Memo8->palette();
    readable.setColor(QPalette::Disabled, QPalette::Text,
                      readable.color(QPalette::Active, QPalette::WindowText));
    Memo8->setPalette(readable);
}

void FontsPage::BuildFontList() {
    Panel15 = new QFrame(this);
    Panel15->setObjectName(QStringLiteral("Panel15"));
    Panel15->setGeometry(kPanelArea);
    Panel15->setFrameShape(QFrame::StyledPanel);
    Panel15->setAutoFillBackground(true);
    FontsLabel1 = MakeLabel(Panel15, QStringLiteral("FontsLabel1"),
                            QStringLiteral("Avaible fonts in your computer:"), 10, 8);
    CheckListBox1 = new QListWidget(Panel15);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    CheckListBox1->setGeometry(10, 26, kPanelArea.width() - 20, 318);
    for (const FontListEntry& font : context_.fonts) {
        auto* item = new QListWidgetItem(QString::fromStdString(font.displayName), CheckListBox1);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    FontsLabel2 = MakeLabel(
        Panel15, QStringLiteral("FontsLabel2"),
        QStringLiteral(" If postscript fonts avaible, they are at bottom of the check list box "),
        10, 350);
    FontsLabel3 =
        MakeLabel(Panel15, QStringLiteral("FontsLabel3"),
                  QStringLiteral("Please checked on to select the emebdded fnots"), 10, 370);
    Panel15->raise();
    Panel15->hide();
}

void FontsPage::CheckBox24Click() {
    Panel15->setVisible(CheckBox24->isChecked());
}

void FontsPage::FillOptions(OptionSet& options) const {
    options.embedfonts = CheckBox24->isChecked();
    options.embedfontlist.clear();
    for (int row = 0; row < CheckListBox1->count(); ++row) {
        if (CheckListBox1->item(row)->checkState() == Qt::Checked) {
            const FontListEntry& font = context_.fonts[static_cast<std::size_t>(row)];
            options.embedfontlist.push_back({font.displayName, font.fileEntry});
        }
    }
}

}  // namespace quorlix
