// A bare window with nothing but a 1 ms timer whose slot does nothing: the
// floor of what such a timer costs while idle, to compare the window with.
//   idle_timer [--precise]

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(569, 543);
    window.show();
    QTimer timer;
    timer.setInterval(1);
    if (argc > 1 && std::strcmp(argv[1], "--precise") == 0) {
        timer.setTimerType(Qt::PreciseTimer);
    }
    int ticks = 0;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start();
    return QApplication::exec();
}
