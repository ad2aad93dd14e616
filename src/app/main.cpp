// kivo: the tray application. Until the windows exist it reports what it would do.
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream(stdout) << "kivo: starting on built-in defaults\n";
    return 0;
}
