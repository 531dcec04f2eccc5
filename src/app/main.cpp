// Kestrovane History Manager: creates the application and its windows and runs the event loop
// until the program is ended.
#include "windows/program_windows.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    kv::windows::ProgramWindows windows(QCoreApplication::applicationDirPath().toStdString() + "/");
    // After a failed start-up the window stays hidden and the loop ends at once.
    if (!windows.form1.terminateRequested()) windows.form1.show();
    return QApplication::exec();
}
