// Runs every screen test class in one program; the exit code is the number
// of failed classes.
#include <QApplication>

namespace pw::test {
int run_startup_tests(int argc, char** argv);
int run_flow_tests(int argc, char** argv);
int run_review_tests(int argc, char** argv);
}  // namespace pw::test

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  using Runner = int (*)(int, char**);
  const Runner runners[] = {pw::test::run_startup_tests, pw::test::run_flow_tests, pw::test::run_review_tests};
  int failed = 0;
  for (Runner run : runners) failed += run(argc, argv) != 0 ? 1 : 0;
  return failed;
}
