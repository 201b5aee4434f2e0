// Runs every widget test class in one program; the exit code is the number
// of failed classes.
#include <QApplication>

int run_region_data_tests(int argc, char** argv);
int run_trans_form_tests(int argc, char** argv);
int run_smart_sub_class_tests(int argc, char** argv);
int run_image_button_tests(int argc, char** argv);
int run_tooltip_tests(int argc, char** argv);
int run_message_box_tests(int argc, char** argv);
int run_file_dialog_tests(int argc, char** argv);
int run_skinned_form_tests(int argc, char** argv);

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  using Runner = int (*)(int, char**);
  const Runner runners[] = {run_region_data_tests, run_trans_form_tests, run_smart_sub_class_tests,
                            run_image_button_tests, run_tooltip_tests,   run_message_box_tests,
                            run_file_dialog_tests,  run_skinned_form_tests};
  int failed = 0;
  for (Runner run : runners) failed += run(argc, argv) != 0 ? 1 : 0;
  return failed;
}
