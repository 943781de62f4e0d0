// The formula help window: where its text comes from, how it is shown and
// hidden, and whether the shipped text agrees with the calculation.
#include "gui_error.h"
#include "gui_test_base.h"
#include "help_form.h"
#include "link_calculation.h"
#include "link_factors.h"
#include "number_text.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTest>

#include <cstring>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

class HelpFormTest : public QObject {
    Q_OBJECT

  private:
    testing_support::GuiTestBase m_base;
    std::string m_shown; // what the exception display was given

    static QString memoText(const TQuillstoneHelpForm& form) {
        const auto* memo = form.findChild<QPlainTextEdit*>("Memo1");
        return memo != nullptr ? memo->toPlainText() : QString("<no Memo1>");
    }

  private slots:
    void init() {
        QVERIFY(m_base.Open());
        m_shown.clear();
        SetExceptionDisplay([this](const std::string& message) { m_shown = message; });
    }
    void cleanup() { m_base.Close(); }

    void lookupOrder_data() {
        QTest::addColumn<QByteArray>("inHelpFolder"); // "-": no file there
        QTest::addColumn<QByteArray>("inBase");
        QTest::addColumn<QString>("shown");

        QTest::newRow("help folder") << QByteArray("First line\r\nSecond line\r\n")
                                     << QByteArray("-") << "First line\nSecond line";
        QTest::newRow("base folder only")
            << QByteArray("-") << QByteArray("Base copy\n\nend") << "Base copy\n\nend";
        QTest::newRow("help folder first")
            << QByteArray("Help copy") << QByteArray("Base copy") << "Help copy";
        QTest::newRow("neither") << QByteArray("-") << QByteArray("-") << "Help File Not Found";
        QTest::newRow("empty file") << QByteArray("") << QByteArray("Base copy") << "";
        QTest::newRow("8-bit text kept") << QByteArray("Eb/No \xB1 1 dB") << QByteArray("-")
                                         << QString::fromLatin1("Eb/No \xB1 1 dB");
    }
    void lookupOrder() {
        QFETCH(QByteArray, inHelpFolder);
        QFETCH(QByteArray, inBase);
        QFETCH(QString, shown);

        QVERIFY(m_base.MakeDir("Files/Help"));
        if (inHelpFolder != "-")
            QVERIFY(m_base.WriteFile("Files/Help/The Link Budget.txt", inHelpFolder));
        if (inBase != "-")
            QVERIFY(m_base.WriteFile("The Link Budget.txt", inBase));

        TQuillstoneHelpForm form;
        QCOMPARE(memoText(form), shown);
        QVERIFY(!memoText(form).contains("Memo1"));
        QCOMPARE(m_shown, std::string());
    }

    void unreadableFileIsReported_data() {
        QTest::addColumn<bool>("opens");
        // Fails even for root: this process's own memory, read from address 0.
        QTest::newRow("open, but the read fails") << true;
        // A local socket is there, but open() refuses it.
        QTest::newRow("there, but open fails") << false;
    }
    void unreadableFileIsReported() {
        QFETCH(bool, opens);
        QVERIFY(m_base.MakeDir("Files/Help"));
        const QString path = m_base.Path("Files/Help/The Link Budget.txt");
        const int socketFd = opens ? -1 : ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (opens) {
            QVERIFY(QFile::link("/proc/self/mem", path));
        } else {
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            const QByteArray name = QFile::encodeName(path);
            QVERIFY(socketFd >= 0 && std::size_t(name.size()) < sizeof address.sun_path);
            std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
            QCOMPARE(::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        }
        QVERIFY(m_base.WriteFile("The Link Budget.txt", "Base copy"));
        TQuillstoneHelpForm form;
        if (socketFd >= 0)
            ::close(socketFd);
        QVERIFY2(QString::fromStdString(m_shown).contains("Files/Help/The Link Budget.txt"),
                 m_shown.c_str());
        QCOMPARE(memoText(form), QString()); // not taken for missing: no other copy
    }

    void windowAsDesigned() {
        TQuillstoneHelpForm form;
        QCOMPARE(form.windowTitle(), QString("Link Budget Formulas"));
        QCOMPARE(form.size(), QSize(458, 401));
        QVERIFY(!form.isVisible()); // created hidden
        QVERIFY(form.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(form.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!form.testAttribute(Qt::WA_QuitOnClose)); // never keeps the program alive

        auto* memo = form.findChild<QPlainTextEdit*>("Memo1");
        QVERIFY(memo != nullptr);
        QCOMPARE(form.Memo1, memo);
        QVERIFY(!memo->isReadOnly());
        QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

        form.show();
        form.resize(600, 500);
        QTRY_COMPARE(memo->geometry(), form.rect()); // fills the window as it is resized
    }

    void helpTwiceIsOneWindowClosingOnlyHides() {
        QVERIFY(m_base.WriteFile("The Link Budget.txt", "Formula text"));
        auto form = std::make_unique<TQuillstoneHelpForm>();
        QuillstoneHelpForm = form.get();
        QPointer<TQuillstoneHelpForm> watch(form.get());

        QuillstoneHelpForm->ShowAndRaise();
        QuillstoneHelpForm->ShowAndRaise();
        QVERIFY(form->isVisible());
        int helpWindows = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            helpWindows += qobject_cast<TQuillstoneHelpForm*>(w) != nullptr;
        QCOMPARE(helpWindows, 1);

        form->Memo1->appendPlainText("typed by the user");
        QVERIFY(m_base.WriteFile("The Link Budget.txt", "Changed on disk"));
        form->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!watch.isNull()); // hidden, not destroyed
        QVERIFY(!form->isVisible());

        QuillstoneHelpForm->ShowAndRaise();
        QVERIFY(form->isVisible());
        QCOMPARE(memoText(*form), QString("Formula text\ntyped by the user")); // never reloaded

        form.reset();
        QCOMPARE(QuillstoneHelpForm, nullptr);
    }

    void shippedTextIsPlainAscii() {
        QFile file(QUILLSTONE_HELP_TEXT);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.size() > 1000);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            QVERIFY2(c == '\n' || (c >= 0x20 && c < 0x7F),
                     qPrintable(QString("byte %1 at %2").arg(c).arg(i)));
        }
    }

    void shippedTextMatchesTheCalculation() {
        // Shown through the window, as the user sees it.
        QVERIFY(m_base.MakeDir("Files/Help"));
        QVERIFY(QFile::copy(QUILLSTONE_HELP_TEXT, m_base.Path("Files/Help/The Link Budget.txt")));
        TQuillstoneHelpForm form;
        const QStringList lines = memoText(form).split('\n');
        // The first line from `from` on that starts with the caption.
        auto lineStarting = [&lines](const QString& caption, qsizetype from = 0) {
            for (qsizetype i = from; i < lines.size(); ++i)
                if (lines[i].trimmed().startsWith(caption + "  "))
                    return lines[i];
            return QString();
        };

        // Every factor's default, as its value label shows it.
        LinkFactors factors{};
        SetDefaultFactors(factors);
        for (const FactorRow& row : FactorTable) {
            const QString line = lineStarting(row.caption);
            const QString value =
                QString::fromStdString(FormatFixed(12, row.decimals, factors.*(row.field)));
            QVERIFY2(line.split(' ', Qt::SkipEmptyParts).contains(value),
                     qPrintable(QString("%1: '%2' lacks %3").arg(row.caption, line, value)));
        }

        // The worked example: every result as the window shows it.
        const qsizetype shownFrom = lines.indexOf("The results as the window shows them:");
        QVERIFY(shownFrom > 0);
        LinkResults results{};
        CalculateLink(factors, results);
        for (const ResultRow& row : ResultTable) {
            const QString caption = QString(row.caption).trimmed();
            const QString line = lineStarting(caption, shownFrom);
            const QString value = QString::fromStdString(ResultText(row, results.*(row.field)));
            QVERIFY2(line.split(' ', Qt::SkipEmptyParts).contains(value),
                     qPrintable(QString("%1: '%2' lacks %3").arg(caption, line, value)));
        }
        QVERIFY(memoText(form).contains(QString::fromStdString(BepText(factors.MinEbNoDesired))));
    }
};

QTEST_MAIN(HelpFormTest)
#include "help_form_test.moc"
