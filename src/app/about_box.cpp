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
    panel->setObjectName(QStringLiteral("aboutPanel"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setGeometry(8, 8, 280, 153);

    programIcon_ = new QLabel(panel);
    programIcon_->setObjectName(QStringLiteral("programIcon"));
    programIcon_->setGeometry(12, 12, 32, 32);
    programIcon_->setPixmap(ProgramIconPixmap(32));

    productName_ =
        MakeLabel(panel, QStringLiteral("productName"), QStringLiteral("Product Name"), 60, 14);
    QFont bold = productName_->font();
    bold.setBold(true);
    productName_->setFont(bold);
    versionLabel_ =
        MakeLabel(panel, QStringLiteral("versionLabel"),
                  QStringLiteral("Version: ") + QStringLiteral(QUORLIX_VERSION), 60, 34);
    makerLabel_ =
        MakeLabel(panel, QStringLiteral("makerLabel"), QString::fromUtf8(kMakerName), 12, 62);
    copyrightLabel_ = MakeLabel(panel, QStringLiteral("copyrightLabel"),
                                QString::fromUtf8(kCopyrightNotice), 12, 80);
    emailLabel_ = MakeLabel(panel, QStringLiteral("emailLabel"), QStringLiteral("Email:"), 12, 106);
    supportAddressLink_ =
        new LinkLabel(QString::fromUtf8(kSupportAddress), panel, [this] { openSupportMail(); });
    supportAddressLink_->setObjectName(QStringLiteral("supportAddressLink"));
    supportAddressLink_->move(72, 106);
    supportAddressLink_->adjustSize();
    webSiteLabel_ =
        MakeLabel(panel, QStringLiteral("webSiteLabel"), QStringLiteral("Web Site:"), 12, 126);
    webAddressLink_ =
        new LinkLabel(QString::fromUtf8(kMakerWebAddress), panel, [this] { openWebSite(); });
    webAddressLink_->setObjectName(QStringLiteral("webAddressLink"));
    webAddressLink_->move(72, 126);
    webAddressLink_->adjustSize();

    okButton_ =
        MakeButton(this, QStringLiteral("okButton"), QStringLiteral("OK"), 111, 170, 75, 25);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

    ShowProductName();
}

void AboutBox::ShowProductName() {
    productName_->setText(QCoreApplication::applicationName());
    productName_->adjustSize();
}

void AboutBox::openSupportMail() {
    OpenSupportMail(dialogs_);
}

void AboutBox::openWebSite() {
    OpenWebSite(dialogs_);
}

}  // namespace quorlix
