#include "about_box.h"

#include "app_context.h"
#include "error_log.h"
#include "process.h"
#include "program_log.h"
#include "speaker.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <qdrawutil.h>

namespace {

constexpr const char* kViewerName = "Wexalor.exe";
constexpr const char* kDefaultDevelopmentViewer = "/PelLibs/CommonAppExes/Wexalor/Wexalor.exe";
constexpr uint8_t kViewerLowPriority = 1;

// The maker's four fixed texts. The maker is made up; the telephone numbers
// lie in the range kept for fiction and the web name in a reserved domain.
constexpr const char* kMakerCopyright = "Copyright (C) 2024 Tarnwick Signal Labs";
constexpr const char* kMakerAddress = "12 Example Lane, Fairhaven, EX 00000";
constexpr const char* kMakerPhone = "Tel 555-0142    Fax 555-0143";
constexpr const char* kMakerWeb = "www.tarnwick.example";

std::string& developmentViewerPath() {
    static std::string path = kDefaultDevelopmentViewer;
    return path;
}

// Raised inner and lowered outer bevel, one pixel each.
class BevelPanel : public QFrame {
  public:
    using QFrame::QFrame;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        qDrawShadePanel(&painter, rect(), palette(), true, 1);
        qDrawShadePanel(&painter, rect().adjusted(1, 1, -1, -1), palette(), false, 1);
    }
};

// The maker's logo: a mast sending three wave fronts, on a dusk gradient.
QPixmap makerLogo() {
    constexpr int kWidth = 65, kHeight = 57; // pixels, the picture's place
    QPixmap logo(kWidth, kHeight);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0.0, QColor(0x1B, 0x2A, 0x5C));
    sky.setColorAt(1.0, QColor(0x3E, 0x6F, 0xA8));
    painter.fillRect(logo.rect(), sky);

    QPainterPath mast;
    mast.moveTo(14, 52);
    mast.lineTo(20, 18);
    mast.lineTo(26, 52);
    painter.setPen(QPen(QColor(0xE8, 0xE8, 0xE8), 2));
    painter.drawPath(mast);
    painter.drawLine(16, 40, 24, 40);
    painter.setBrush(QColor(0xF2, 0xB1, 0x34));
    painter.drawEllipse(QPointF(20, 16), 3, 3);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xF2, 0xB1, 0x34), 2));
    for (int ring = 1; ring <= 3; ++ring) {
        const int r = 8 * ring; // pixels
        painter.drawArc(QRectF(20 - r, 16 - r, 2 * r, 2 * r), -40 * 16, 80 * 16);
    }
    painter.setPen(QColor(0xFF, 0xFF, 0xFF));
    painter.setFont(QFont(QStringLiteral("Arial"), 7, QFont::Bold));
    painter.drawText(QRect(30, 40, 33, 14), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("TSL"));
    return logo;
}

struct LabelPlace {
    const char* name;
    int left, top; // pixels, in Panel1
    const char* designText;
};

// Labels size themselves to their text; the design texts never show.
constexpr LabelPlace kLabels[] = {
    {"ProductName", 80, 8, "Product Name"},     {"Version", 80, 26, "Version"},
    {"Copyright", 80, 44, "Copyright"},         {"LabelAddress", 8, 74, "LabelAddress"},
    {"LabelPhone", 8, 91, "LabelPhone"},        {"LabelWeb", 8, 107, "LabelWeb"},
    {"LabelComments", 8, 124, "LabelComments"},
};

QLabel* labelNamed(const QWidget* box, const char* name) {
    return box->findChild<QLabel*>(QString::fromLatin1(name));
}

void setLabel(const QWidget* box, const char* name, const QString& text) {
    if (QLabel* label = labelNamed(box, name)) {
        label->setText(text);
        label->adjustSize();
    }
}

} // namespace

void SetDevelopmentViewerPath(const std::string& path) {
    developmentViewerPath() = path.empty() ? std::string(kDefaultDevelopmentViewer) : path;
}

const std::string& DevelopmentViewerPath() {
    return developmentViewerPath();
}

TPelKorAboutBoxForm::TPelKorAboutBoxForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("PelKorAboutBoxForm"));
    setWindowTitle(QStringLiteral("About"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Button));
    setPalette(colours);
    setAutoFillBackground(true);
    setFixedSize(298, 213);

    auto* panel = new BevelPanel(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(8, 8, 281, 161);

    auto* icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setGeometry(8, 8, 65, 57);
    icon->setScaledContents(true);
    icon->setPixmap(makerLogo());

    for (const LabelPlace& place : kLabels) {
        auto* label = new QLabel(QString::fromLatin1(place.designText), panel);
        label->setObjectName(QString::fromLatin1(place.name));
        label->move(place.left, place.top);
        label->adjustSize();
    }

    auto* viewLogs = new QPushButton(QStringLiteral("View Logs"), panel);
    viewLogs->setObjectName(QStringLiteral("ButtonWexalor"));
    viewLogs->setGeometry(214, 136, 61, 18);
    connect(viewLogs, &QPushButton::clicked, this, &TPelKorAboutBoxForm::ButtonWexalorClick);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setGeometry(117, 182, 75, 25);
    connect(ok, &QPushButton::clicked, this, [this] { done(1); });

    // Neither button is the default one: Enter presses the focused button.
    for (QPushButton* button : {viewLogs, ok}) {
        button->setDefault(false);
        button->setAutoDefault(false);
    }
    setTabOrder(viewLogs, ok);
    viewLogs->setFocus();
}

void TPelKorAboutBoxForm::fillTexts(const QString& programName, const QString& versionText,
                                    const QString& comments) {
    setLabel(this, "ProductName", programName);
    setLabel(this, "Version", QStringLiteral("Version ") + versionText);
    setLabel(this, "Copyright", QString::fromLatin1(kMakerCopyright));
    setLabel(this, "LabelAddress", QString::fromLatin1(kMakerAddress));
    setLabel(this, "LabelPhone", QString::fromLatin1(kMakerPhone));
    setLabel(this, "LabelWeb", QString::fromLatin1(kMakerWeb));
    setLabel(this, "LabelComments", QStringLiteral("Comments : ") + comments);
    if (QLabel* label = labelNamed(this, "LabelComments"))
        label->setVisible(!comments.isEmpty());
}

void TPelKorAboutBoxForm::ShowAboutBox(const QString& programName, const QString& versionText,
                                       const QString& logName, const QString& logSubdirectory,
                                       const QString& comments) {
    m_logSubdirectory = logSubdirectory;
    m_logName = logName;
    fillTexts(programName, versionText, comments);
    centreOnScreen();
    raise();
    exec();
    StopProgram(ViewerProcess);
}

void TPelKorAboutBoxForm::done(int result) {
    QDialog::done(result);
    StopProgram(ViewerProcess);
}

void TPelKorAboutBoxForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    raise();
    activateWindow();
}

void TPelKorAboutBoxForm::centreOnScreen() {
    // The owner's screen (the main window's), else the primary one.
    const QWidget* owner = parentWidget();
    const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    QRect frame(QPoint(0, 0), frameGeometry().size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft()); // the frame's top-left corner
}

void TPelKorAboutBoxForm::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        // There is no cancel button, so Escape does not close the box.
        event->accept();
        return;
    case Qt::Key_Enter:
    case Qt::Key_Return:
        // No button is the default one: Enter presses the focused button.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    QDialog::keyPressEvent(event);
}

// The program log's own full path: the viewer gets one argument that names
// the file wherever the log went (its subdirectory or the base directory).
std::string TPelKorAboutBoxForm::viewerLogPath() const {
    std::string path;
    if (AppContext().ProgramLog) {
        path = AppContext().ProgramLog->Path();
    } else {
        const std::string name = m_logName.toStdString();
        const std::string subdirectory = m_logSubdirectory.toStdString();
        ResolveLogPath(name.c_str(), subdirectory.c_str(), name.c_str(), path);
    }
    QString full = QFile::decodeName(QByteArray::fromStdString(path));
    if (QDir::isRelativePath(full)) {
        const std::string& base = AppContext().BaseDirectory;
        const QDir baseDir = base.empty()
                                 ? QDir::current()
                                 : QDir(QFile::decodeName(QByteArray::fromStdString(base)));
        full = baseDir.absoluteFilePath(full);
    }
    return QFile::encodeName(QDir::cleanPath(full)).toStdString();
}

void TPelKorAboutBoxForm::ButtonWexalorClick() {
    StopProgram(ViewerProcess);
    raise();
    const std::string commandLine = viewerLogPath();
    // "./": the current directory itself, never a search of PATH.
    const std::string viewer = std::string("./") + kViewerName;
    if (MayRunFile(viewer) && RunProgram(viewer, commandLine, kViewerLowPriority, ViewerProcess))
        return;
    SpeakerAlarm();
    LogMessage(std::string("Could Not Find ") + kViewerName +
                   ".  Looking in Debug Directory.  BUILD ERROR FOR INSTALL.",
               kLogNotice);

    const std::string executable = DevelopmentViewerPath();
    if (MayRunFile(executable) &&
        RunProgram(executable, commandLine, kViewerLowPriority, ViewerProcess))
        return;
    SpeakerAlarm();
    LogMessage("Could Not Find Debug  " + executable + ".  Cannot View Log Files", kLogNotice);
}
