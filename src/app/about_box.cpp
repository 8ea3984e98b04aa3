#include "app/about_box.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "app/help_actions.h"
#include "app/program_identity.h"
#include "widgets/window_geometry.h"

namespace quorlix {

namespace {

// A label that shows its text underlined with the hand cursor and reports clicks.
class LinkLabel : public QLabel {
public:
    LinkLabel(const QString& text, QWidget* parent, std::function<void()> onClick)
        : QLabel(text, parent), onClick_(std::move(onClick)) {
        QFont underlined = font();
        underlined.setUnderline(true);
        setFont(underlined);
        setCursor(Qt::PointingHandCursor);
        setStyleSheet(QStringLiteral("color: #0000c0"));
    }

protected:
    void mouseReleaseEvent(QMouseEvent*) override { onClick_(); }

private:
    std::function<void()> onClick_;
};

}  // namespace

AboutBox::AboutBox(Dialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setModal(true);
    setFixedSize(296, 203);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setGeometry(8, 8, 280, 153);

    ProgramIcon = new QLabel(panel);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(12, 12, 32, 32);
    ProgramIcon->setPixmap(ProgramIconPixmap(32));

    ProductName =
        MakeLabel(panel, QStringLiteral("ProductName"), QStringLiteral("Product Name"), 60, 14);
    QFont bold = ProductName->font();
    bold.setBold(true);
    ProductName->setFont(bold);
    Version = MakeLabel(panel, QStringLiteral("Version"),
                        QStringLiteral("Version: ") + QStringLiteral(QUORLIX_VERSION), 60, 34);
    Copyright =
        MakeLabel(panel, QStringLiteral("Copyright"), QString::fromUtf8(kMakerName), 12, 62);
    Label3 =
        MakeLabel(panel, QStringLiteral("Label3"), QString::fromUtf8(kCopyrightNotice), 12, 80);
    Label1 = MakeLabel(panel, QStringLiteral("Label1"), QStringLiteral("Email:"), 12, 106);
    Comments =
        new LinkLabel(QString::fromUtf8(kSupportAddress), panel, [this] { CommentsClick(); });
    Comments->setObjectName(QStringLiteral("Comments"));
    Comments->move(72, 106);
    Comments->adjustSize();
    Label4 = MakeLabel(panel, QStringLiteral("Label4"), QStringLiteral("Web Site:"), 12, 126);
    Label5 = new LinkLabel(QString::fromUtf8(kMakerWebAddress), panel, [this] { Label5Click(); });
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->move(72, 126);
    Label5->adjustSize();

    OKButton = MakeButton(this, QStringLiteral("OKButton"), QStringLiteral("OK"), 111, 170, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    FormCreate();
}

void AboutBox::FormCreate() {
    ProductName->setText(QCoreApplication::applicationName());
    ProductName->adjustSize();
}

void AboutBox::CommentsClick() {
    OpenSupportMail(dialogs_);
}

void AboutBox::Label5Click() {
    OpenWebSite(dialogs_);
}

}  // namespace quorlix
