#include "AppModes.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    AppModes modes = AppModes::parse(arguments);
    if (!modes.error.isEmpty()) {
        QTextStream(stderr) << modes.error << '\n';
        return 2;
    }
    const QString notice = modes.prepareEnvironment();
    if (!notice.isEmpty())
        QTextStream(stdout) << notice << '\n';
    QApplication app(argc, argv);
    return modes.exec();
}
