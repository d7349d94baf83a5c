#include "app/command_line.h"
#include "app/q_a_template_.h"
#include "app/qt_platform.h"
#include "app/system.h"

#include <QApplication>

#include <exception>
#include <iostream>
#include <string>

int main(int argc, char* argv[])
{
    if (argc > 1) {
        showCommandLineAnswers();
        const std::string folder = platformDefaultFolder().toStdString();
        if (const auto status = handleCommandLine(argc, argv, std::cout, std::cerr, folder)) {
            if (const auto refused = refusedArgument(argc, argv)) {
                showArgumentRefusal(*refused);
            }
            return *status;
        }
    }
    if (const auto problem = missingDisplay()) {
        std::cerr << *problem << '\n';
        return 1;
    }
    QApplication app(argc, argv);
    nameTheApplication();

    try {
        QtPlatform platform;
        q_a_template_ window(platform);
        window.Form_Load();
        if (window.ended()) {
            return 0;
        }
        window.show();
        return QApplication::exec();
    } catch (const std::exception& e) {
        std::cerr << "qa-tutor: " << e.what() << '\n';
        return 1;
    }
}
