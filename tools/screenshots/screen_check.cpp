// paintwell_screen_check: compares the desktop program on two platforms by
// what the screen shows (tools/windows-check.sh runs the Windows build
// under Wine and the Linux build, both on Xvfb).
//
//   paintwell_screen_check shoot OUT.png PROGRAM [ARG]...
//     Covers the screen with a plain desktop, starts PROGRAM, waits until
//     its window has drawn and the picture holds still, saves the screen,
//     drags the window by its frame (xdotool) and fails unless the window
//     followed and the program is still running.
//   paintwell_screen_check compare REFERENCE.png OTHER.png CROP.png
//     Finds the window on both pictures by the desktop around it and fails
//     unless it has the same size, the same outline (the same pixels show
//     the desktop) and mostly the same pixels. CROP.png gets OTHER's window
//     with some desktop around it.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

const QRgb kDesktop = qRgb(0x3a, 0x6e, 0xa5);
constexpr int kMargin = 24;
// Text drawn by another font engine differs in a few pixels per glyph;
// anything beyond this is another picture.
constexpr double kSamePixelsNeeded = 0.90;
constexpr double kSameOutlineNeeded = 0.995;
// Where the frame is grabbed (from the left edge, halfway down) and how far
// it is dragged.
constexpr int kGrip = 10;
const QPoint kDrag(40, 30);

void wait(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(20);
  }
}

QImage grab_screen() {
  return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
}

// The smallest rectangle holding every pixel that is not the desktop.
QRect window_area(const QImage& shot) {
  int left = shot.width(), top = shot.height(), right = -1, bottom = -1;
  for (int y = 0; y < shot.height(); ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
    for (int x = 0; x < shot.width(); ++x) {
      if (line[x] == kDesktop) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// Drags the window by its frame as a user would, on the X server itself,
// with pauses that let the program see each step. A window moved by hand
// starts following at the first step after the press, so it may trail the
// pointer by that step's pixel.
bool follows_drag(const QRect& area) {
  const QPoint from(area.left() + kGrip, area.center().y());
  QStringList steps;
  const auto then = [&steps](QStringList step) { steps << step << QStringLiteral("sleep") << QStringLiteral("0.3"); };
  const auto move_to = [&then](QPoint p) {
    then({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())});
  };
  move_to(from);
  then({QStringLiteral("mousedown"), QStringLiteral("1")});
  for (const QPoint step : {QPoint(1, 1), kDrag / 2, kDrag}) move_to(from + step);
  then({QStringLiteral("mouseup"), QStringLiteral("1")});
  if (QProcess::execute(QStringLiteral("xdotool"), steps) != 0) {
    std::fprintf(stderr, "screen_check: xdotool failed\n");
    return false;
  }
  wait(1000);
  const QPoint moved = window_area(grab_screen()).topLeft() - area.topLeft();
  std::printf("dragged by %d,%d: the window moved by %d,%d\n", kDrag.x(), kDrag.y(), moved.x(), moved.y());
  return (moved - kDrag).manhattanLength() <= 2;
}

int shoot(const QString& out, const QString& program, const QStringList& args) {
  QWidget desktop;
  desktop.setWindowFlag(Qt::FramelessWindowHint);
  desktop.setStyleSheet(QStringLiteral("background: %1").arg(QColor(kDesktop).name()));
  desktop.setGeometry(QGuiApplication::primaryScreen()->geometry());
  desktop.show();
  wait(500);
  QProcess process;
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  // The platform this tool was told to use is no business of the program's.
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
  process.setProcessEnvironment(environment);
  process.start(program, args);
  if (!process.waitForStarted()) {
    std::fprintf(stderr, "screen_check: cannot start %s\n", qPrintable(program));
    return 1;
  }
  // Drawn when a window shows and two pictures a second apart agree (Wine
  // needs a while for its first start).
  QImage shot, previous;
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < 120000 && process.state() == QProcess::Running) {
    wait(1000);
    shot = grab_screen();
    if (!window_area(shot).isNull() && shot == previous) break;
    previous = shot;
  }
  const bool steady = !window_area(shot).isNull() && shot == previous;
  const bool dragged = steady && follows_drag(window_area(shot));
  wait(2000);
  const bool up = process.state() == QProcess::Running;
  process.kill();
  process.waitForFinished();
  if (!up) {
    std::fprintf(stderr, "screen_check: %s ended (exit code %d)\n", qPrintable(program), process.exitCode());
    return 1;
  }
  if (!steady) {
    std::fprintf(stderr, "screen_check: %s showed no steady window\n", qPrintable(program));
    return 1;
  }
  if (!shot.save(out, "PNG")) return 1;
  if (!dragged) {
    std::fprintf(stderr, "screen_check: the window did not follow a drag by its frame\n");
    return 1;
  }
  return 0;
}

int compare(const QString& reference_path, const QString& other_path, const QString& crop_path) {
  const QImage reference = QImage(reference_path).convertToFormat(QImage::Format_RGB32);
  const QImage other = QImage(other_path).convertToFormat(QImage::Format_RGB32);
  const QRect ref_area = window_area(reference), other_area = window_area(other);
  std::printf("window: %dx%d against %dx%d\n", other_area.width(), other_area.height(), ref_area.width(),
              ref_area.height());
  if (ref_area.isNull() || ref_area.size() != other_area.size()) {
    std::fprintf(stderr, "screen_check: the window's size differs\n");
    return 1;
  }
  long same_pixels = 0, same_outline = 0, outside = 0;
  for (int y = 0; y < ref_area.height(); ++y) {
    for (int x = 0; x < ref_area.width(); ++x) {
      const QRgb a = reference.pixel(ref_area.topLeft() + QPoint(x, y));
      const QRgb b = other.pixel(other_area.topLeft() + QPoint(x, y));
      outside += a == kDesktop;
      same_outline += (a == kDesktop) == (b == kDesktop);
      same_pixels += std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                               std::abs(qBlue(a) - qBlue(b))}) <= 24;
    }
  }
  const double all = double(ref_area.width()) * ref_area.height();
  std::printf("outline: %.4f the same (%ld desktop pixels inside the reference's rectangle); pixels: %.4f the same\n",
              same_outline / all, outside, same_pixels / all);
  other.copy(other_area.adjusted(-kMargin, -kMargin, kMargin, kMargin)).save(crop_path, "PNG");
  if (same_outline / all < kSameOutlineNeeded) {
    std::fprintf(stderr, "screen_check: the window's outline differs\n");
    return 1;
  }
  if (same_pixels / all < kSamePixelsNeeded) {
    std::fprintf(stderr, "screen_check: the window shows another picture\n");
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() >= 4 && args[1] == QLatin1String("shoot")) return shoot(args[2], args[3], args.mid(4));
  if (args.size() == 5 && args[1] == QLatin1String("compare")) return compare(args[2], args[3], args[4]);
  std::fprintf(stderr, "usage: paintwell_screen_check shoot OUT.png PROGRAM [ARG]...\n"
                       "       paintwell_screen_check compare REFERENCE.png OTHER.png CROP.png\n");
  return 2;
}
