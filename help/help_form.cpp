#include "help_form.h"

#include "app_context.h"
#include "gui_error.h"

#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

#include <filesystem>

TQuillstoneHelpForm* QuillstoneHelpForm = nullptr;

namespace {

constexpr int kClientWidth = 458;  // pixels
constexpr int kClientHeight = 401; // pixels
constexpr const char* kHelpFileName = "The Link Budget.txt";
constexpr const char* kNotFoundLine = "Help File Not Found";

// Where the formula text is looked for, in order.
const char* const kHelpFolders[] = {"/Files/Help/", "/"};

// The file's lines as stored: 8-bit text, CR LF or LF line ends, and no
// extra empty line for the line end at the very end of the file.
QString linesOf(const QByteArray& bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QStringList texts;
    texts.reserve(lines.size());
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        texts.append(QString::fromLatin1(line));
    }
    return texts.join(QLatin1Char('\n'));
}

// Whether a help file is there, decided without opening it: a file that is
// there but cannot be opened or read is an error, not a missing file.
bool isPresent(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    return std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

} // namespace

TQuillstoneHelpForm::TQuillstoneHelpForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("QuillstoneHelpForm"));
    setWindowTitle(QStringLiteral("Link Budget Formulas"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    // Closing the main window ends the program even while this one is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Button));
    setPalette(colours);
    setAutoFillBackground(true);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);

    resize(kClientWidth, kClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    FormCreate();
}

TQuillstoneHelpForm::~TQuillstoneHelpForm() {
    if (QuillstoneHelpForm == this)
        QuillstoneHelpForm = nullptr;
}

void TQuillstoneHelpForm::FormCreate() {
    Memo1->clear();
    // Before the run has a base directory the current directory serves.
    const std::string base =
        AppContext().BaseDirectory.empty() ? std::string(".") : AppContext().BaseDirectory;
    for (const char* folder : kHelpFolders) {
        const std::string path = base + folder + kHelpFileName;
        if (!isPresent(path))
            continue;
        QFile file(QFile::decodeName(QByteArray::fromStdString(path)));
        if (!file.open(QIODevice::ReadOnly)) {
            ShowException("Cannot open file \"" + path + "\". " + file.errorString().toStdString());
            return;
        }
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            ShowException("Cannot read file \"" + path + "\". " + file.errorString().toStdString());
            return;
        }
        Memo1->setPlainText(linesOf(bytes));
        return;
    }
    Memo1->setPlainText(QString::fromLatin1(kNotFoundLine));
}

void TQuillstoneHelpForm::ShowAndRaise() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TQuillstoneHelpForm::closeEvent(QCloseEvent* event) {
    hide();
    event->ignore();
}
