#include "AppFixture.h"

#include "FileNaming.h"
#include "LanguageSource.h"
#include "QBarcodeResultDlg.h"
#include "ZoApi.h"
#include "support/QtMessages.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QXmlStreamReader>
#include <QtTest/QTest>

#include <sys/resource.h>

#include <csignal>

namespace {

using namespace app_test;
using Message = QPair<QString, QString>;

const Message kExported{QStringLiteral("提示"), QStringLiteral("导出完成!")};

// The values of the <barcode> elements of a file, parsed as XML.
QStringList valuesIn(const QByteArray& xml) {
    QStringList values;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"barcode")
            values.append(reader.readElementText());
    return reader.hasError() ? QStringList{"invalid: " + reader.errorString()} : values;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class BarcodeTest : public AppTest {
protected:
    // The result window is brought to the front; the offscreen platform has no stacking order.
    testing_support::ExpectQtWarning m_noRaise{QStringLiteral("does not support raise()")};

    // Presses the export button and names `path` in the save dialog.
    static void exportTo(QBarcodeResultDlg& dialog, const QString& path) {
        QTimer::singleShot(0, [path] {
            auto* ask = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(ask, nullptr);
            EXPECT_EQ(ask->windowTitle(), QStringLiteral("保存条码识别结果"));
            ask->selectFile(path);
            ask->setOption(QFileDialog::DontConfirmOverwrite); // no question about replacing
            QMetaObject::invokeMethod(ask, "accept");
        });
        dialog.findChild<QPushButton*>(QStringLiteral("pushButtonExport"))->click();
    }

    static QTextEdit* text(QBarcodeResultDlg& dialog) {
        return dialog.findChild<QTextEdit*>(QStringLiteral("textEdit"));
    }
    static QPushButton* exportButton(QBarcodeResultDlg& dialog) {
        return dialog.findChild<QPushButton*>(QStringLiteral("pushButtonExport"));
    }
};

// The button reads behind the window: the page's two codes, top one first; the export replaces an
// older file with exactly the text shown; a reading without codes says why and disables the
// export.
TEST_F(BarcodeTest, ReadingShowsThePageCodesAndExportsThem) {
    auto form = makeForm();
    auto* dialog = form->findChild<QBarcodeResultDlg*>();
    ASSERT_NE(dialog, nullptr);
    form->applyLanguage(0); // the Chinese window's texts
    auto* button = form->findChild<QPushButton*>(QStringLiteral("pushButtonReadBarcode"));
    EXPECT_FALSE(button->isHidden()) << "offered on the second tab";

    button->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->isVisible(); }, 30000));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("条码识别结果显示(支持一维码和二维码)"));
    const QString shown = text(*dialog)->toPlainText();
    EXPECT_EQ(valuesIn(shown.toUtf8()), QStringList({"DOCSCAN-PAGE-1", "PAGE1-12345"}));
    EXPECT_TRUE(exportButton(*dialog)->isEnabled());

    const QString path = tempRoot() + "/codes.xml";
    writeFile(path, "an older and longer file that the export replaces entirely");
    exportTo(*dialog, path);
    EXPECT_EQ(readFile(path), shown.toUtf8());
    EXPECT_EQ(messages(), QList<Message>{kExported});

    ZoCloseCamera(form->mainCamera()); // nothing to read
    button->click();
    EXPECT_EQ(text(*dialog)->toPlainText(), QStringLiteral("摄像头已断开"));
    EXPECT_FALSE(exportButton(*dialog)->isEnabled());
    EXPECT_EQ(messages().size(), 1) << "no message box for an empty reading";
    form->applyLanguage(1);
    EXPECT_EQ(dialog->windowTitle(), "Barcode results (1D and 2D codes)");
    EXPECT_EQ(text(*dialog)->toPlainText(), "Camera disconnected");

    dialog->findChild<QPushButton*>(QStringLiteral("pushButtonClose"))->click();
    EXPECT_FALSE(dialog->isVisible());
}

// Non-ASCII values go out as the engine's own UTF-8 bytes and name files as they read; a write
// that fails keeps the old file and says so.
TEST_F(BarcodeTest, ExportKeepsTheBytesAndAFailedOneKeepsTheOldFile) {
    Settings settings;
    settings.language = 0;
    const LanguageSource language(settings);
    QBarcodeResultDlg dialog(language);
    const QByteArray engine = "<barcodes>\n<barcode type=\"QRCode\">中文&amp;&lt;x&gt;</barcode>\n"
                              "<barcode type=\"Code128\">B-2</barcode>\n</barcodes>";
    dialog.setBarcodeResult(QString::fromUtf8(engine));
    EXPECT_EQ(text(dialog)->toPlainText(), QString::fromUtf8(engine));

    const QString path = tempRoot() + "/中文.xml";
    exportTo(dialog, path);
    EXPECT_EQ(readFile(path), engine);
    EXPECT_EQ(valuesIn(readFile(path)), QStringList({QStringLiteral("中文&<x>"), "B-2"}));
    EXPECT_EQ(naming::barcodeName(engine), QStringLiteral("中文&<x>").toUtf8());

    dialog.setBarcodeResult(QString(4096, QLatin1Char('x')));
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = old;
    tight.rlim_cur = 1024; // the file can hold the old text, not the new one
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    exportTo(dialog, path);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(readFile(path), engine);
    ASSERT_EQ(messages().size(), 2);
    EXPECT_EQ(messages()[0], kExported);
    EXPECT_EQ(messages()[1].first, QStringLiteral("提示"));
    EXPECT_TRUE(messages()[1].second.startsWith(QStringLiteral("导出失败!\n")))
        << "the reason follows: " << messages()[1].second.toStdString();
}

} // namespace
