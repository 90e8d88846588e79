// qb_screenshot FILE.png: saves the whole X screen, for the desktop tests' artifacts.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: qb_screenshot FILE.png\n");
    return 2;
  }
  QGuiApplication app(argc, argv);
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen || !screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "qb_screenshot: cannot save %s\n", argv[1]);
    return 1;
  }
  return 0;
}
