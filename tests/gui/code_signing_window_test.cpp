// The window's code signing: the Code signing dialog of the File menu, its settings kept with the
// other defaults (never the password), and Convert signing every output with the certificate of
// a PKCS#12 file whose password it asks once per run.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "app/code_signing_dialog.h"
#include "platform/file_byte_source.h"
#include "platform/settings_store.h"
#include "signing/signature_check.h"
#include "support/cli_output.h"
#include "support/code_signing.h"
#include "support/scoped_environment.h"
#include "support/test_folder.h"
#include "support/window_harness.h"
#include "widgets/window_geometry.h"

namespace quorlix::test {
namespace {

namespace fs = std::filesystem;

constexpr char kPassword[] = "p\xc3\xa4ss word";  // not ASCII: the password goes as UTF-8

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

SigningDefaults StoredSigning() {
    SettingsStore store;
    store.Open();
    return ReadSigningDefaults(store);
}

// The dialog's controls that take the keyboard focus, in the order Tab moves through them.
QStringList TabOrder(QWidget& dialog) {
    QStringList names;
    QWidget* first = &Child<QCheckBox>(&dialog, "signOutputsCheckBox");
    QWidget* control = first;
    do {
        if ((control->focusPolicy() & Qt::TabFocus) != 0 && control->isEnabled()) {
            names << control->objectName();
        }
        control = control->nextInFocusChain();
    } while (control != first && names.size() < 20);
    return names;
}

// Opens File > Code signing..., runs action on the dialog while it shows, and returns once it
// has closed.
void WithCodeSigningDialog(WindowHarness& h,
                           const std::function<void(CodeSigningDialog&)>& action) {
    bool ran = false;
    WhenShown<CodeSigningDialog>([&](CodeSigningDialog& dialog) {
        action(dialog);
        ran = true;
        if (dialog.isVisible()) {
            dialog.reject();
        }
    });
    h.window->findChild<QAction*>("codeSigningAction")->trigger();
    EXPECT_TRUE(ran) << "the dialog showed";
}

TEST(CodeSigningDialog, FileMenuOpensIt) {
    WindowHarness h;
    QStringList items;
    for (QAction* item : h.window->menuBar()->actions().first()->menu()->actions()) {
        items << (item->isSeparator() ? QStringLiteral("-")
                                      : item->objectName() + "=" + item->text());
    }
    EXPECT_EQ(items, QStringList({"codeSigningAction=Code signing...", "-", "closeAction=Close"}));
    WithCodeSigningDialog(h, [](CodeSigningDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Code signing");
        EXPECT_TRUE(dialog.isModal());
        EXPECT_FALSE(Child<QCheckBox>(&dialog, "signOutputsCheckBox").isChecked())
            << "signing is off at first";
        EXPECT_EQ(Child<QLineEdit>(&dialog, "certificateFileEdit").text(), "");
        EXPECT_EQ(Child<QLineEdit>(&dialog, "timestampUrlEdit").text(), "");
    });
}

// Every control has an accessible name, Tab follows the layout, the size is fixed, and every
// caption fits with the program's font and with DejaVu Sans.
TEST(CodeSigningDialog, AccessibleInVisualOrderAndCaptionsFit) {
    ScriptedDialogs dialogs;
    for (const char* family : {"Liberation Sans", "DejaVu Sans"}) {
        QFont font{QString::fromLatin1(family)};
        font.setPointSize(8);
        QApplication::setFont(font);
        CodeSigningDialog dialog(dialogs, {});
        dialog.show();
        EXPECT_EQ(dialog.font().family(), family);
        EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << family << ": fixed size";
        EXPECT_EQ(dialog.size(), dialog.minimumSize()) << family;

        const QStringList order = TabOrder(dialog);
        EXPECT_EQ(order, QStringList({"signOutputsCheckBox", "certificateFileEdit",
                                      "certificateFileButton", "timestampUrlEdit", "okButton",
                                      "cancelButton"}))
            << family;
        QPoint previous(-1, -1);
        for (const QString& name : order) {
            const auto* control = dialog.findChild<QWidget*>(name);
            ASSERT_NE(control, nullptr) << name.toStdString();
            const QPoint at = control->geometry().topLeft();
            EXPECT_TRUE(at.y() > previous.y() + 4 ||
                        (std::abs(at.y() - previous.y()) <= 4 && at.x() > previous.x()))
                << family << ": " << name.toStdString() << " follows the one before it";
            previous = at;
        }

        for (const QWidget* control : dialog.findChildren<QWidget*>()) {
            if (control->objectName().isEmpty() || control->objectName().startsWith("qt_")) {
                continue;
            }
            const std::string name = control->objectName().toStdString();
            EXPECT_FALSE(control->accessibleName().isEmpty()) << family << ": " << name;
            EXPECT_TRUE(dialog.rect().contains(control->geometry())) << family << ": " << name;
            EXPECT_GE(control->width(), control->minimumSizeHint().width())
                << family << ": " << name;
            if (const auto* label = qobject_cast<const QLabel*>(control)) {
                EXPECT_GE(label->width(), label->sizeHint().width()) << family << ": " << name;
            }
            if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
                EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(button->text()))
                    << family << ": " << name;
            }
        }
        EXPECT_EQ(Child<QLabel>(&dialog, "certificateFileLabel").buddy(),
                  &Child<QLineEdit>(&dialog, "certificateFileEdit"));
        EXPECT_EQ(Child<QLabel>(&dialog, "timestampUrlLabel").buddy(),
                  &Child<QLineEdit>(&dialog, "timestampUrlEdit"));
    }
    ApplyProgramFont();
}

TEST(CodeSigningDialog, StoresItsSettingsWithTheDefaultsAndLoadsThemNextTime) {
    TestFolder folder;
    const std::string certificate = folder / "author.p12";
    {
        WindowHarness h;
        h.dialogs.files.push_back(Q(certificate));
        WithCodeSigningDialog(h, [&](CodeSigningDialog& dialog) {
            Child<QCheckBox>(&dialog, "signOutputsCheckBox").setChecked(true);
            Child<QToolButton>(&dialog, "certificateFileButton").click();
            QTest::keyClicks(&Child<QLineEdit>(&dialog, "timestampUrlEdit"),
                             " http://tsa.example/rfc3161 ");
            Child<QPushButton>(&dialog, "okButton").click();
            EXPECT_FALSE(dialog.isVisible());
        });
        ASSERT_EQ(h.dialogs.fileRequests.size(), 1);
        EXPECT_EQ(h.dialogs.fileRequests[0].filter, "PKCS#12 files|*.p12;*.pfx|All files|*");
        const std::string stored = ReadFile(DefaultSettingsPath());
        EXPECT_NE(stored.find("\r\n\"signoutputs\"=\"1\"\r\n\"signcertfile\"=\"" + certificate +
                              "\"\r\n\"signtimestamp\"=\"http://tsa.example/rfc3161\"\r\n"),
                  std::string::npos)
            << stored;

        // Cancel keeps what was stored.
        WithCodeSigningDialog(h, [](CodeSigningDialog& dialog) {
            Child<QCheckBox>(&dialog, "signOutputsCheckBox").setChecked(false);
            Child<QPushButton>(&dialog, "cancelButton").click();
        });
        EXPECT_EQ(ReadFile(DefaultSettingsPath()), stored);
    }
    WindowHarness next;
    WithCodeSigningDialog(next, [&](CodeSigningDialog& dialog) {
        EXPECT_TRUE(Child<QCheckBox>(&dialog, "signOutputsCheckBox").isChecked());
        EXPECT_EQ(Child<QLineEdit>(&dialog, "certificateFileEdit").text(), Q(certificate));
        EXPECT_EQ(Child<QLineEdit>(&dialog, "timestampUrlEdit").text(),
                  "http://tsa.example/rfc3161");
    });
}

TEST(CodeSigningDialog, KeepsSettingsThatCannotBeUsedOpenWithTheReason) {
    WindowHarness h;
    WithCodeSigningDialog(h, [&](CodeSigningDialog& dialog) {
        auto& sign = Child<QCheckBox>(&dialog, "signOutputsCheckBox");
        auto& ok = Child<QPushButton>(&dialog, "okButton");
        sign.setChecked(true);
        ok.click();
        EXPECT_TRUE(dialog.isVisible()) << "signing without a certificate file";
        Child<QLineEdit>(&dialog, "certificateFileEdit").setText("/home/author/author.p12");
        Child<QLineEdit>(&dialog, "timestampUrlEdit").setText("https://tsa.example/");
        ok.click();
        EXPECT_TRUE(dialog.isVisible()) << "an address the timestamp client cannot ask";
    });
    EXPECT_EQ(
        h.dialogs.messages,
        QStringList({"Please select the certificate file!",
                     "The timestamp address https://tsa.example/ is not an http:// address"}));
    EXPECT_FALSE(StoredSigning().sign) << "nothing stored";
}

// Documents converted through the window with its signing set in the Code signing dialog.
class SignedConvert : public ::testing::Test {
protected:
    void SetUp() override {
        if (!OnPath("openssl")) {
            GTEST_SKIP() << "openssl is not installed";
        }
        certificate_ = MakeTestCertificate(keys_.path(), "author", "Quorlix Author", kPassword);
    }

    void Add(const std::string& name, const std::string& bytes) {
        WriteFile(documents_ / name, bytes);
        h_.dialogs.fileLists.push_back({Q(documents_ / name)});
        h_.operator()<QPushButton>("addFilesButton").click();
    }
    void ChooseOutput() {
        h_.dialogs.folders.push_back(Q(out_.path()));
        h_.operator()<QAbstractButton>("outputFolderButton").click();
    }
    void SetSigning(bool sign, const std::string& timestamp = "") {
        WithCodeSigningDialog(h_, [&](CodeSigningDialog& dialog) {
            Child<QCheckBox>(&dialog, "signOutputsCheckBox").setChecked(sign);
            Child<QLineEdit>(&dialog, "certificateFileEdit").setText(Q(certificate_.pkcs12));
            Child<QLineEdit>(&dialog, "timestampUrlEdit").setText(Q(timestamp));
            Child<QPushButton>(&dialog, "okButton").click();
        });
    }
    void Convert() { h_.operator()<QPushButton>("convertButton").click(); }

    // What quorlix-cli verify says of an output.
    static std::string Verified(const std::string& exe) {
        const CliRun run = RunCliWith({"verify", exe});
        EXPECT_EQ(run.status, 0) << run.err;
        return run.out;
    }
    std::string SignedText(const std::string& exe) const {
        return exe + ": whole\nsignature: valid (its SHA256 digest matches the file)\nsigner: " +
               certificate_.subject + "\ntimestamp: none\n";
    }
    std::vector<std::string> OutputFolderNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(out_.path())) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    TestFolder keys_;
    TestFolder documents_;
    TestFolder out_;
    TestCertificate certificate_;
    WindowHarness h_;
};

TEST_F(SignedConvert, SignsEveryOutputAskingThePasswordOncePerRun) {
    Add("Guide.docx", RandomBytes(120000, 1));
    Add("Plan.doc", "plan");
    ChooseOutput();
    SetSigning(true);
    h_.dialogs.passwords = {QString::fromUtf8(kPassword), QString::fromUtf8(kPassword)};
    Convert();
    EXPECT_TRUE(h_.dialogs.errors.isEmpty()) << h_.dialogs.errors.join("\n").toStdString();
    EXPECT_EQ(h_.dialogs.messages, QStringList({"Convert finished!"}));
    EXPECT_EQ(h_.dialogs.passwordQuestions, QStringList({"Password for author.p12:"}));
    EXPECT_EQ(h_.progress.StartCount(), 2);
    for (const std::string name : {"Guide", "Plan"}) {
        const std::string exe = out_ / (name + ".exe");
        EXPECT_EQ(Verified(exe), SignedText(exe));
        // The payload in front of the signature, read back with zlib directly.
        FileByteSource source(exe);
        const SignatureReport report = CheckCodeSignature(source);
        std::string part = ReadFile(exe).substr(0, report.signedPart.size);
        while (!part.empty() && part.back() == '\0') {
            part.pop_back();  // the zeros that align the signature
        }
        const ReadOutput read = ReadBack(part);
        EXPECT_EQ(OptionLines(EntryContent(read.package, "option\\winoptions.dll"))[0],
                  name + "-This Word document will help you");
        if (OnPath("osslsigncode")) {
            EXPECT_EQ(RunQuietly("osslsigncode verify -CAfile '" + certificate_.certificate +
                                 "' -in '" + exe + "'"),
                      0)
                << name;
        }
    }

    Convert();
    EXPECT_EQ(h_.dialogs.passwordQuestions.size(), 2) << "asked again for the next run";
    EXPECT_EQ(h_.dialogs.messages.size(), 2);
    EXPECT_EQ(h_.progress.StartCount(), 4);
    EXPECT_EQ(ReadFile(DefaultSettingsPath()).find("ss word"), std::string::npos)
        << "no password is stored";
}

TEST_F(SignedConvert, AFileThatCannotBeUsedOrACancelStartsNoRun) {
    Add("Plan.doc", "plan");
    ChooseOutput();
    SetSigning(true);
    h_.dialogs.passwords = {QStringLiteral("wrong")};
    Convert();
    EXPECT_EQ(h_.dialogs.errors, QStringList({"The outputs cannot be signed: wrong password for " +
                                              Q(certificate_.pkcs12)}));
    h_.dialogs.errors.clear();

    Convert();  // the question cancelled
    EXPECT_EQ(h_.dialogs.passwordQuestions.size(), 2);
    EXPECT_TRUE(h_.dialogs.errors.isEmpty());

    fs::remove(certificate_.pkcs12);
    h_.dialogs.passwords = {QString::fromUtf8(kPassword)};
    Convert();
    ASSERT_EQ(h_.dialogs.errors.size(), 1);
    EXPECT_TRUE(h_.dialogs.errors[0].startsWith("The outputs cannot be signed: cannot read " +
                                                Q(certificate_.pkcs12) + ": "))
        << h_.dialogs.errors[0].toStdString();

    EXPECT_TRUE(h_.dialogs.messages.isEmpty());
    EXPECT_EQ(h_.progress.StartCount(), 0);
    EXPECT_TRUE(OutputFolderNames().empty()) << "nothing written";
    EXPECT_TRUE(h_.operator()<QLabel>("busyNotice").isHidden());
    EXPECT_FALSE(h_.operator()<QPushButton>("openOutputFolderButton").isEnabled());
}

TEST_F(SignedConvert, SigningOnWithoutACertificateFileOpensTheDialog) {
    WriteFile(documents_ / "Plan.doc", "plan");
    SettingsStore store;
    store.Open();
    SaveSigningDefaults(store, {true, "", ""});
    WindowHarness h;  // reads the stored settings
    h.dialogs.fileLists.push_back({Q(documents_ / "Plan.doc")});
    h.operator()<QPushButton>("addFilesButton").click();
    h.dialogs.folders.push_back(Q(out_.path()));
    h.operator()<QAbstractButton>("outputFolderButton").click();
    bool shown = false;
    WhenShown<CodeSigningDialog>([&](CodeSigningDialog& dialog) {
        shown = true;
        dialog.reject();
    });
    h.operator()<QPushButton>("convertButton").click();
    EXPECT_TRUE(shown);
    EXPECT_EQ(h.dialogs.messages, QStringList({"Please select the certificate file!"}));
    EXPECT_TRUE(h.dialogs.passwordQuestions.isEmpty());
    EXPECT_EQ(h.progress.StartCount(), 0);
}

TEST_F(SignedConvert, SigningOffWritesUnsignedOutputsWithoutAQuestion) {
    Add("Plan.doc", "plan");
    ChooseOutput();
    SetSigning(false);
    Convert();
    EXPECT_TRUE(h_.dialogs.passwordQuestions.isEmpty());
    EXPECT_EQ(h_.dialogs.messages, QStringList({"Convert finished!"}));
    const std::string exe = out_ / "Plan.exe";
    EXPECT_EQ(Verified(exe), exe + ": whole\nsignature: none (not signed)\n");
    EXPECT_EQ(ReadBack(ReadFile(exe)).document.substr(0, 4), "BDOC");
}

TEST_F(SignedConvert, ATimestampFromTheDialogsServerIsAdded) {
    TestFolder authorityFolder;
    const TimestampResponder authority(authorityFolder.path());
    const ScopedEnvironment noProxy("no_proxy", "127.0.0.1");
    Add("Plan.doc", "plan");
    Add("Note.doc", "note");
    ChooseOutput();
    SetSigning(true, authority.url());
    h_.dialogs.passwords = {QString::fromUtf8(kPassword)};
    Convert();
    EXPECT_EQ(h_.dialogs.messages, QStringList({"Convert finished!"}));
    EXPECT_EQ(authority.requests(), 2) << "one timestamp per output";
    for (const std::string name : {"Plan", "Note"}) {
        FileByteSource source(out_ / (name + ".exe"));
        const SignatureReport report = CheckCodeSignature(source);
        EXPECT_TRUE(
            report.timestamp.ends_with(std::string(" UTC by ") + TimestampResponder::kSubject))
            << report.timestamp;
    }
}

}  // namespace
}  // namespace quorlix::test
