// quillstone-design [FILE]: the design window, with FILE opened when given;
// --help and --version print and exit before any window exists.
#include "design_command_line.h"
#include "design_window.h"

#include <QApplication>

#include <iostream>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
    if (const std::optional<CommandLineAnswer> answer = AnswerCommandLine(args)) {
        std::cout << answer->out << std::flush;
        std::cerr << answer->err << std::flush;
        return answer->status;
    }
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationName(QStringLiteral("quillstone-design"));
    QApplication::setApplicationDisplayName(QString::fromLatin1(kDesignerName));
    QApplication::setDesktopFileName(QStringLiteral("example.tarnwick.QuillstoneDesign"));
    DesignWindow window;
    window.show();
    const QStringList files = QApplication::arguments().mid(1);
    if (!files.isEmpty())
        window.openFromCommandLine(files.front(), std::cerr);
    return QApplication::exec();
}
