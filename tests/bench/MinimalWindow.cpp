// The yardstick of the window's start-up and memory: the least a Qt Widgets program costs, one
// window with one label, as the product's window is shown (same size, same platform).

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Minimal Qt window");
    window.setFixedSize(800, 572);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel("Minimal Qt window", &window));
    window.show();
    return QApplication::exec();
}
