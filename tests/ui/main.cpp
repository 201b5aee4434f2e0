// Runs every widget test class in one program; the exit code is the number
// of failed classes.
#include <QApplication>

int run_region_tests(int argc, char** argv);
int run_button_tests(int argc, char** argv);
int run_dialog_tests(int argc, char** argv);
int run_skinned_form_tests(int argc, char** argv);

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  using Runner = int (*)(int, char**);
  const Runner runners[] = {run_region_tests, run_button_tests, run_dialog_tests, run_skinned_form_tests};
  int failed = 0;
  for (Runner run : runners) failed += run(argc, argv) != 0 ? 1 : 0;
  return failed;
}
